// Ctrl+C, a closed terminal or a kill, taken as a request to stop, so that a command can remove
// what it half wrote instead of dying with it. Also keeps a file-size limit from killing the
// process: the write fails instead, and the command says so.
#pragma once

namespace dvrtool {

void catchInterrupts();
bool interrupted();

// Clips and their checks read recordings through mappings (evidence/file_view.h). A file that
// another program cuts short meanwhile faults on the next read of its lost part: the command then
// removes halfWritten, when named, says why and ends with the status of an unreadable file,
// instead of dying of the fault.
void catchCutShortFiles(const char* halfWritten = nullptr);

}  // namespace dvrtool
