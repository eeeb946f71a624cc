#pragma once
// The number of handles a process holds, as the system's handle table
// reports it. GetProcessHandleCount answers 0 for every process under Wine;
// the system handle list (NtQuerySystemInformation) is filled by Wine's
// server and follows the process's handles.

namespace sim {

// -1 when the list cannot be had.
long CountProcessHandles(unsigned long processId);

} // namespace sim
