#include "platform/version_block.h"
