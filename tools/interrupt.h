// Ctrl+C, a closed terminal or a kill, taken as a request to stop, so that a command can remove
// what it half wrote instead of dying with it. Also keeps a file-size limit from killing the
// process: the write fails instead, and the command says so.
#pragma once

namespace dvrtool {

void catchInterrupts();
bool interrupted();

}  // namespace dvrtool
