#include "platform/sim/error_text.h"

#include <map>

namespace plat::sim {

bool SimErrorText::formatMessage(Err code, std::string* text) {
    static const std::map<Err, const char*> texts = {
        {ERROR_SUCCESS, "The operation completed successfully."},
        {ERROR_INVALID_FUNCTION, "Incorrect function."},
        {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
        {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
        {ERROR_ACCESS_DENIED, "Access is denied."},
        {ERROR_INVALID_HANDLE, "The handle is invalid."},
        {ERROR_NOT_ENOUGH_MEMORY, "Not enough storage is available to process this command."},
        {ERROR_BAD_FORMAT, "An attempt was made to load a program with an incorrect format."},
        {ERROR_INVALID_DATA, "The data is invalid."},
        {ERROR_OUTOFMEMORY, "Not enough storage is available to complete this operation."},
        {ERROR_NO_MORE_FILES, "There are no more files."},
        {ERROR_SHARING_VIOLATION,
         "The process cannot access the file because it is being used by another process."},
        {ERROR_NOT_SUPPORTED, "The request is not supported."},
        {ERROR_FILE_EXISTS, "The file exists."},
        {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
        {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
        {124, "The system call level is not correct."},   // ERROR_INVALID_LEVEL
        {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
        {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
        {ERROR_MOD_NOT_FOUND, "The specified module could not be found."},
        {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found."},
        {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
        {ERROR_BAD_PATHNAME, "The specified path is invalid."},
        {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
        {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
        {ERROR_MORE_DATA, "More data is available."},
        {ERROR_NO_MORE_ITEMS, "No more data is available."},
        {ERROR_CAN_NOT_COMPLETE, "Cannot complete this function."},
        {ERROR_NO_TOKEN, "An attempt was made to reference a token that does not exist."},
        {ERROR_BADKEY, "The configuration registry key is invalid."},
        {ERROR_KEY_DELETED,
         "Illegal operation attempted on a registry key that has been marked for deletion."},
        {ERROR_SERVICE_REQUEST_TIMEOUT,
         "The service did not respond to the start or control request in a timely fashion."},
        {ERROR_SERVICE_ALREADY_RUNNING, "An instance of the service is already running."},
        {ERROR_SERVICE_DISABLED,
         "The service cannot be started, either because it is disabled or because it has no "
         "enabled devices associated with it."},
        {ERROR_SERVICE_DOES_NOT_EXIST, "The specified service does not exist as an installed service."},
        {ERROR_SERVICE_CANNOT_ACCEPT_CTRL, "The service cannot accept control messages at this time."},
        {ERROR_SERVICE_NOT_ACTIVE, "The service has not been started."},
        {ERROR_NOT_ALL_ASSIGNED, "Not all privileges or groups referenced are assigned to the caller."},
        {ERROR_PRIVILEGE_NOT_HELD, "A required privilege is not held by the client."},
        {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
        {ERROR_TIMEOUT, "This operation returned because the timeout period expired."},
        {RPC_S_SERVER_UNAVAILABLE, "The RPC server is unavailable."},
        {ERROR_UNKNOWN_PORT, "The specified port is unknown."},
        {ERROR_UNKNOWN_PRINTER_DRIVER, "The printer driver is unknown."},
        {ERROR_UNKNOWN_PRINTPROCESSOR, "The print processor is unknown."},
        {ERROR_INVALID_PRINTER_NAME, "The printer name is invalid."},
        {ERROR_PRINTER_ALREADY_EXISTS, "The printer already exists."},
        {1805, "The environment specified is invalid."},   // ERROR_INVALID_ENVIRONMENT
        {ERROR_INVALID_PRINTER_COMMAND, "The printer command is invalid."},
        {ERROR_RESOURCE_DATA_NOT_FOUND, "The specified image file did not contain a resource section."},
        {ERROR_RESOURCE_TYPE_NOT_FOUND, "The specified resource type cannot be found in the image file."},
        {ERROR_UNKNOWN_PRINT_MONITOR, "The specified print monitor is unknown."},
        {ERROR_PRINTER_DRIVER_IN_USE, "The specified printer driver is currently in use."},
        {ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED,
         "The specified print processor has already been installed."},
        {ERROR_PRINT_MONITOR_ALREADY_INSTALLED, "The specified print monitor has already been installed."},
        {ERROR_INVALID_PRINT_MONITOR, "The specified print monitor does not have the required functions."},
        {ERROR_PRINT_MONITOR_IN_USE, "The specified print monitor is currently in use."},
        {ERROR_PRINTER_HAS_JOBS_QUEUED,
         "The requested operation is not allowed when there are jobs queued to the printer."},
    };
    auto it = texts.find(code);
    if (it == texts.end()) return false;
    *text = std::string(it->second) + "\r\n";
    return true;
}

}  // namespace plat::sim
