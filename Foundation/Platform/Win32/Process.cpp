#include "Foundation/Platform/Process.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Windows cannot copy a running process: the child is a fresh instance of
// this program, told through its command line which helper to run and
// through an environment variable which pipe handles it inherited and what
// job to do.
namespace Platform {

namespace {

struct st_Child {
    HANDLE h_Process;
    HANDLE h_Read;   // from the other side
    HANDLE h_Write;  // to the other side
    int b_InChild;
};

std::wstring s_Widen(char const* text) {
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

void v_Close(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

void* h_StartChild(pf_ChildBody, char const* job, char const* arguments) {
    wchar_t program[MAX_PATH * 4];
    DWORD length = ::GetModuleFileNameW(nullptr, program, sizeof program / sizeof program[0]);
    if (length == 0 || length >= sizeof program / sizeof program[0]) return nullptr;

    // The child's ends are inherited; the parent's ends are not, so that
    // the child's end (or a failure to start it) shows as a broken pipe.
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE toChildRead = nullptr, toChildWrite = nullptr, toParentRead = nullptr, toParentWrite = nullptr;
    if (!::CreatePipe(&toChildRead, &toChildWrite, &inherited, 0)) return nullptr;
    if (!::CreatePipe(&toParentRead, &toParentWrite, &inherited, 0)) {
        v_Close(toChildRead);
        v_Close(toChildWrite);
        return nullptr;
    }
    ::SetHandleInformation(toChildWrite, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(toParentRead, HANDLE_FLAG_INHERIT, 0);
    // The child's own report (a test program's) would mix into this one's.
    HANDLE quiet = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 OPEN_EXISTING, 0, nullptr);

    char handles[64];
    std::snprintf(handles, sizeof handles, "%llu %llu ",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(toChildRead)),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(toParentWrite)));
    std::string value = std::string(handles) + job;
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" " + s_Widen(arguments);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (quiet != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = quiet;
    }
    PROCESS_INFORMATION process = {};
    // The variable is set only around the start: the child inherits a copy.
    ::SetEnvironmentVariableA(pcc_ChildVariable, value.c_str());
    BOOL started = ::CreateProcessW(program, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                    &process);
    DWORD startError = ::GetLastError();
    ::SetEnvironmentVariableA(pcc_ChildVariable, nullptr);
    v_Close(quiet);
    v_Close(toChildRead);
    v_Close(toParentWrite);
    if (!started) {
        v_Close(toChildWrite);
        v_Close(toParentRead);
        ::SetLastError(startError);
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    st_Child* child = new st_Child;
    child->h_Process = process.hProcess;
    child->h_Read = toParentRead;
    child->h_Write = toChildWrite;
    child->b_InChild = 0;
    return child;
}

void v_RunChild(pf_ChildBody body, char const* variableValue) {
    char* rest = nullptr;
    unsigned long long read = std::strtoull(variableValue, &rest, 10);
    unsigned long long write = std::strtoull(rest, &rest, 10);
    if (*rest == ' ') ++rest;
    st_Child channel;
    channel.h_Process = nullptr;
    channel.h_Read = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(read));
    channel.h_Write = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(write));
    channel.b_InChild = 1;
    int code = body(rest, &channel);
    ::ExitProcess(static_cast<UINT>(code));  // no test framework tear-down in the helper
}

int b_SignalPeer(void* channel) {
    st_Child* child = static_cast<st_Child*>(channel);
    char byte = 1;
    DWORD done = 0;
    return ::WriteFile(child->h_Write, &byte, 1, &done, nullptr) && done == 1;
}

int b_WaitForPeer(void* channel) {
    st_Child* child = static_cast<st_Child*>(channel);
    char byte;
    DWORD done = 0;
    return ::ReadFile(child->h_Read, &byte, 1, &done, nullptr) && done == 1;
}

int i_WaitForChild(void* handle) {
    st_Child* child = static_cast<st_Child*>(handle);
    DWORD code = 0;
    bool ended = ::WaitForSingleObject(child->h_Process, INFINITE) == WAIT_OBJECT_0 &&
                 ::GetExitCodeProcess(child->h_Process, &code);
    v_Close(child->h_Process);
    v_Close(child->h_Read);
    v_Close(child->h_Write);
    delete child;
    return ended ? static_cast<int>(code) : -1;
}

// TerminateProcess ends every thread of the child without running any of
// its code; its handles (the files it held open with their share modes)
// are closed by the system once the process has ended, which the wait
// makes sure of before the caller looks at those files.
int b_KillChild(void* handle) {
    st_Child* child = static_cast<st_Child*>(handle);
    enum : UINT { e_KilledCode = 0xDEAD };
    bool killed = ::TerminateProcess(child->h_Process, e_KilledCode) != 0;
    DWORD code = 0;
    bool ended = ::WaitForSingleObject(child->h_Process, INFINITE) == WAIT_OBJECT_0 &&
                 ::GetExitCodeProcess(child->h_Process, &code);
    v_Close(child->h_Process);
    v_Close(child->h_Read);
    v_Close(child->h_Write);
    delete child;
    // A child that has already ended refuses the termination.
    return killed && ended && code == e_KilledCode;
}

int b_LimitFileSize(unsigned) { return 0; }

}  // namespace Platform
