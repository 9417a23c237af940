#pragma once

// Releases what the statically linked runtime of this module created lazily
// and would otherwise keep for the life of the process (see the .cpp). Call
// only when the module is unloaded by FreeLibrary, from DllMain.
void ReleaseRuntimeObjects() noexcept;
