// The plain-text declarations that simulated DLL files carry after their
// image, one per line: "SIM-PORTS=KSCOM1:,KSCOM2:",
// "SIM-PORTS-FROM-REGISTRY=SOFTWARE\KESTRAN\PORTNAME",
// "SIM-EXPORTS=OpenDeviceX,GetDescriptor,uWrite,CloseDevice".
#pragma once

#include <string>
#include <vector>

namespace plat::sim {

// The value of the first line "<key>=<value>" of the file (the key matched
// as written, at the start of a line; a trailing CR is dropped). False when
// no such line exists.
bool FindDeclaration(const std::string& fileBytes, const std::string& key, std::string* value);

// A comma-separated list, blanks around items dropped, empty items skipped.
std::vector<std::string> SplitList(const std::string& text);

}  // namespace plat::sim
