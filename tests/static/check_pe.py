#!/usr/bin/env python3
"""Checks the shipped i386 binaries without running them: PE32 i386, the
library's export table and stack cleanup, imports, static runtime, version
resources, and the library's footprint (file size, runtime parts linked in)."""
import argparse
import os
import re
import subprocess
import sys

EXPORTS = {
    "SING_NumGatherers": 0, "SING_Name": 4, "SING_Init": 4, "SING_Close": 4,
    "SING_Update": 12, "SING_GetDataBufLen": 12, "SING_FillDataBuf": 16,
    "SING_GetUniquePacketID": 4, "SING_Print": 4, "SING_FlagDMIRefresh": 4,
    "SING_FlagDMIInits": 16, "SING_DMIInit": 8, "SING_FlagDMIUpdates": 16,
    "SING_DMIUpdate": 8, "SING_FillDMIInfo": 16,
}
# Windows' own DLLs the library may import; anything else is a fault.
SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "user32.dll", "msvcrt.dll", "ws2_32.dll",
               "wsock32.dll", "netapi32.dll", "iphlpapi.dll", "version.dll", "shell32.dll",
               "ole32.dll", "oleaut32.dll", "ntdll.dll"}
COMPANIONS = {"kmzipc32.dll", "kmzucd32.dll"}
# Every shipped image runs where the library runs, Windows NT 4 included:
# system functions that came later must not be imported (a program that
# wants one looks it up at run time). Names and name patterns, by DLL.
LATER_ONLY = {
    "kernel32.dll": [
        "GetFileSizeEx", "SetFilePointerEx", "GetTickCount64", r"GetModuleHandleEx\w*", r"Fls\w+",
        "InitializeCriticalSectionEx", r"InitOnce\w+", r"\w*SRWLock\w*", r"\w*ConditionVariable\w*",
        r"Create(Event|Mutex|Semaphore|WaitableTimer)Ex\w", "GetSystemTimePreciseAsFileTime", "GetSystemTimes",
        "GetNativeSystemInfo", "IsWow64Process", r"GetLogicalProcessorInformation\w*", r"GetCurrentProcessorNumber\w*",
        "GetProcessId", "GetThreadId", "GetProcessHandleCount", "AddVectoredExceptionHandler",
        "RemoveVectoredExceptionHandler", "RtlCaptureContext", "EncodePointer", "DecodePointer",
        r"(Initialize|Interlocked\w*|Query\w*)SList\w*", "InitializeSListHead", "InterlockedCompareExchange64",
        r"GetLongPathName\w", r"VerifyVersionInfo\w", "VerSetConditionMask", "GlobalMemoryStatusEx",
        r"(Set|Get|Add|Remove)DllDirector\w+", "SetDefaultDllDirectories", "AttachConsole", "GetConsoleProcessList",
        r"CreateHardLink\w", r"GetVolumePathName\w+", r"MoveFileWithProgress\w", r"ReplaceFile\w?",
        r"\w*TimerQueue\w*", "QueueUserWorkItem", r"RegisterWaitForSingleObject\w*", r"UnregisterWait\w*",
        "BindIoCompletionCallback", "WTSGetActiveConsoleSessionId", "ProcessIdToSessionId", "HeapSetInformation",
        "HeapQueryInformation", r"CreateToolhelp32Snapshot", r"(Process|Module|Thread|Heap)32\w+",
        r"(Get|Set)ThreadErrorMode", "GetErrorMode", r"GetFinalPathNameByHandle\w", r"\w+FileInformationByHandle\w*",
        "CancelIoEx", "GetQueuedCompletionStatusEx", r"CreateSymbolicLink\w", "FlushProcessWriteBuffers",
        r"\w+LocaleName\w*", r"(CompareString|LCMapString|GetLocaleInfo)Ex", "GetDynamicTimeZoneInformation",
        "GetTimeZoneInformationForYear", r"K32\w+",
    ],
    "advapi32.dll": [r"RegGetValue\w", r"RegDeleteKeyEx\w", r"RegSetKeyValue\w", r"RegDeleteTree\w", r"RegCopyTree\w",
                     r"ConvertSidToStringSid\w", r"ConvertStringSidToSid\w", r"RegOpenKeyTransacted\w",
                     "RegOverridePredefKey"],
    "ws2_32.dll": ["getaddrinfo", "freeaddrinfo", "getnameinfo", r"\w*AddrInfo\w*", "inet_pton", "inet_ntop", "WSAPoll"],
    "iphlpapi.dll": ["GetAdaptersAddresses"],
    # Added to msvcrt.dll after the runtime Windows NT 4 carries.
    "msvcrt.dll": ["__iob_func", "___lc_codepage_func", "___mb_cur_max_func", r"_vsc\w?printf", r"_aligned_\w+",
                   r"_str\w*to[iu]64", r"_wcsto[iu]64", r"_f(seek|tell)i64", r"_(time|localtime|gmtime|mktime)64",
                   r"_(set|get)_invalid_parameter_handler", "_set_abort_behavior", r"_(create|free)_locale",
                   "_configthreadlocale", r"_(get|set)_output_format"],
}
LATER_ONLY_RE = {dll: re.compile("|".join(f"(?:{p})" for p in pats) + "$") for dll, pats in LATER_ONLY.items()}
MINGW_RUNTIME = re.compile(r"libgcc|libstdc\+\+|libwinpthread|mingw", re.I)
# The library stays small: a bound on the deployed file (about 65 KB with
# the six gatherers, built without exceptions), and no iostreams, locales or
# other heavy parts of the C++ runtime linked in.
MAX_LIBRARY_BYTES = 80 * 1024
STDCXX_MEMBER = re.compile(r"libstdc\+\+\.a\(([^)]+\.o)\)")
HEAVY_RUNTIME = ("ios", "stream", "locale", "codecvt", "ctype", "globals_io", "basic_file", "_members",
                 "regex", "fs_", "floating_", "string-io", "complex_io")
# Built without exceptions, the library links none of the exception runtime:
# no unwinder, no name demangler (the default terminate handler's), nothing
# that throws (the throwing operator new, the __throw_* helpers), and neither
# the emergency exception pool nor the emulated TLS, whose per-load locks and
# TLS index an unload would otherwise leave behind. Matched against every
# object file the link map names, archive members included.
EXCEPTION_RUNTIME = [
    (re.compile(r"libgcc_eh\.a\([^)]+\)|\bunwind-[\w-]+\.o\b"), "the unwinder"),
    (re.compile(r"\bcp-demangle\.o\b"), "the name demangler"),
    (re.compile(r"libstdc\+\+\.a\((eh_throw|eh_alloc|eh_personality|eh_aux_runtime|eh_terminate|vterminate|"
                r"functexcept|cow-stdexcept|stdexcept|new_op|new_opv)\.o\)"), "exception-throwing runtime"),
    (re.compile(r"\bemutls\.o\b"), "the emulated TLS"),
]

failures = []


def fail(msg):
    failures.append(msg)
    print("FAIL: " + msg)


def run(objdump, *args):
    return subprocess.run([objdump, *args], check=True, capture_output=True, text=True).stdout


def private_headers(objdump, path):
    return run(objdump, "-p", path)


def imported(out):
    """{dll (lower case): [names]} from objdump's import tables."""
    table = {}
    current = None
    for line in out.split("The Import Tables")[-1].split("The Export Tables")[0].splitlines():
        m = re.match(r"^\s+DLL Name: (\S+)", line)
        if m:
            current = table.setdefault(m.group(1).lower(), [])
            continue
        m = re.match(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if m and current is not None:
            current.append(m.group(1))
    return table


def check_common(objdump, path):
    out = private_headers(objdump, path)
    name = os.path.basename(path)
    if "file format pei-i386" not in out or not re.search(r"^Magic\s+010b", out, re.M):
        fail(f"{name}: not a PE32 i386 image")
    for dll in re.findall(r"DLL Name: (\S+)", out):
        if MINGW_RUNTIME.search(dll):
            fail(f"{name}: imports the MinGW runtime {dll}")
    imports = imported(out)
    later = sorted(f for dll, names in imports.items() if dll in LATER_ONLY_RE
                   for f in names if LATER_ONLY_RE[dll].match(f))
    if later:
        fail(f"{name}: imports what Windows NT 4 lacks: {', '.join(later)}")
    # The loader of Windows NT 4 refuses images that ask for a later system.
    for field in ("OSystem", "Subsystem"):
        m = re.search(rf"^Major{field}Version\s+(\d+)", out, re.M)
        if not m or int(m.group(1)) > 4:
            fail(f"{name}: Major{field}Version is {m.group(1) if m else 'missing'}, not 4 or less")
    # Hosts import the library's functions by the names it exports.
    if "sing32.dll" in imports and not set(imports["sing32.dll"]) <= set(EXPORTS):
        fail(f"{name}: imports {sorted(set(imports['sing32.dll']) - set(EXPORTS))} from SING32.DLL")
    rsrc = run(objdump, "-s", "-j", ".rsrc", path)
    # Dump lines: " ADDR hhhhhhhh hhhhhhhh ...  ascii"; the ascii column
    # follows two spaces.
    raw = b"".join(bytes.fromhex("".join(line.split("  ")[0].split()[1:]))
                   for line in rsrc.splitlines() if re.match(r"^\s[0-9a-f]{4,} ", line))
    if "VS_VERSION_INFO".encode("utf-16-le") not in raw:
        fail(f"{name}: no version resource")
    return out


def check_library(objdump, path, unstripped):
    out = check_common(objdump, path)
    names = set(re.findall(r"^\s+\[\s*\d+\] (\S+)$", out.split("[Ordinal/Name Pointer] Table")[-1], re.M))
    if names != set(EXPORTS):
        fail(f"SING32.DLL exports {sorted(names ^ set(EXPORTS))} differ from the fifteen names")
    imports = {d.lower() for d in re.findall(r"DLL Name: (\S+)", out)}
    if not COMPANIONS <= imports:
        fail(f"SING32.DLL does not import {sorted(COMPANIONS - imports)}")
    extra = imports - SYSTEM_DLLS - COMPANIONS
    if extra:
        fail(f"SING32.DLL imports non-system DLLs {sorted(extra)}")

    # Every return of every export removes exactly its argument bytes. A
    # tail jump into another function counts with that function's returns.
    # The shipped file has no symbol table; its unstripped twin names the
    # functions in the disassembly.
    dis = run(objdump, "-d", "--no-show-raw-insn", unstripped or path)
    current = None
    rets, jumps = {}, {}
    for line in dis.splitlines():
        m = re.match(r"^[0-9a-f]+ <_?([A-Za-z0-9_]+?)(@\d+)?>:$", line)
        if m:
            current = m.group(1)
            continue
        if current is None:
            continue
        if re.search(r"\sret\b", line):
            m = re.search(r"ret\s+\$0x([0-9a-f]+)", line)
            rets.setdefault(current, []).append(int(m.group(1), 16) if m else 0)
        m = re.search(r"\sjmp\s+[0-9a-f]+ <_?([A-Za-z0-9_]+?)(@\d+)?>", line)
        if m and m.group(1) != current:
            jumps.setdefault(current, []).append(m.group(1))

    def all_rets(fn, seen):
        if fn in seen:
            return []
        seen.add(fn)
        found = list(rets.get(fn, []))
        for target in jumps.get(fn, []):
            found += all_rets(target, seen)
        return found

    for name, size in EXPORTS.items():
        found = all_rets(name, set())
        if not found:
            fail(f"{name}: no return instruction found in the disassembly")
        elif any(r != size for r in found):
            fail(f"{name}: returns remove {sorted(set(found))} bytes, expected {size}")


# The system information library, loaded by name at run time: its 32 entry
# points must be exported undecorated or GetProcAddress misses them.
SINF_EXPORTS = {
    "SINF_Init", "SINF_Close", "SINF_GetSystemIDField", "SINF_GetSystemPlanarBlock", "SINF_GetSystemBlock",
    "SINF_GetSystemName", "SINF_GetSystemBitmaps", "SINF_GetMouseConfiguration", "SINF_GetKeybdConfiguration",
    "SINF_GetVPDInformation", "SINF_GetSelectableBootInfo", "SINF_GetDisketteConfiguration",
    "SINF_GetNVRAMErrLogInfo", "SINF_Get8514Info", "SINF_IsThereIMA", "SINF_IsVGAMono", "SINF_GetXGADMQSInfo",
    "SINF_GetAdapterConfiguration", "SINF_GetSlotConfiguration", "SINF_GetNVRAMConfiguration",
    "SINF_GetSystemConfiguration", "SINF_GetAdapterAddress", "SINF_UpdateAdapterBagfile",
    "SINF_CheckAdapterBagfile", "SINF_GetPOSConfiguration", "SINF_GetMemoryConfiguration",
    "SINF_GetNumPhySerPorts", "SINF_GetCMOSConfiguration", "SINF_GetPhysSlotConfig", "SINF_GetEISASlotConfig",
    "SINF_GetPCISlotConfig", "SINF_GetMachType",
}


def check_sinf_library(out):
    names = set(re.findall(r"^\s+\[\s*\d+\] (\S+)$", out.split("[Ordinal/Name Pointer] Table")[-1], re.M))
    if names != SINF_EXPORTS:
        fail(f"KMZSYS32.DLL exports {sorted(names ^ SINF_EXPORTS)} differ from the 32 SINF_ names")


def check_footprint(path, link_map):
    size = os.path.getsize(path)
    print(f"SING32.DLL: {size} bytes (bound {MAX_LIBRARY_BYTES})")
    if size > MAX_LIBRARY_BYTES:
        fail(f"SING32.DLL is {size} bytes, more than {MAX_LIBRARY_BYTES}")
    if link_map is None:
        return
    if not os.path.isfile(link_map):
        fail(f"no link map at {link_map}")
        return
    check_link_map(link_map)


def check_link_map(link_map):
    with open(link_map, encoding="utf-8", errors="replace") as f:
        text = f.read()
    members = set(STDCXX_MEMBER.findall(text))
    heavy = sorted(m for m in members if any(part in m for part in HEAVY_RUNTIME))
    if heavy:
        fail(f"SING32.DLL links heavy C++ runtime parts: {', '.join(heavy)}")
    for pattern, what in EXCEPTION_RUNTIME:
        found = sorted({m.group(0) for m in pattern.finditer(text)})
        if found:
            fail(f"SING32.DLL links {what}: {', '.join(found)}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--objdump")
    ap.add_argument("--map", help="the library's link map, for the runtime-parts check")
    ap.add_argument("--symbols", help="folder with the unstripped SING32.DLL")
    ap.add_argument("--map-only", action="store_true", help="check only the link map (any architecture)")
    ap.add_argument("outdir", nargs="?")
    a = ap.parse_args()
    if a.map_only:
        check_link_map(a.map)
        print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
        return 1 if failures else 0
    if not a.objdump or not a.outdir:
        ap.error("--objdump and the output folder are needed")
    binaries = sorted(f for f in os.listdir(a.outdir) if f.lower().endswith((".dll", ".exe")))
    if "SING32.DLL" not in binaries:
        fail("SING32.DLL is missing from the output folder")
    for f in binaries:
        path = os.path.join(a.outdir, f)
        if f == "SING32.DLL":
            unstripped = os.path.join(a.symbols, f) if a.symbols else None
            if unstripped and not os.path.isfile(unstripped):
                fail(f"no unstripped SING32.DLL in {a.symbols}")
                unstripped = None
            check_library(a.objdump, path, unstripped)
            check_footprint(path, a.map)
        elif f == "KMZSYS32.DLL":
            check_sinf_library(check_common(a.objdump, path))
        else:
            check_common(a.objdump, path)
    print(f"checked {len(binaries)} binaries: {', '.join(binaries)}")
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
