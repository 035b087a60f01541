#include "new_templates.h"

#include <cctype>
#include <string_view>
#include <utility>

namespace koa::tool {

namespace {

// @KIND@ is "controller" or "device" in the files both kinds share.
constexpr std::string_view kCMakeLists =
    R"text(# @NAME@: a @KIND@ library for the common device library koa_dev.
#
# Linux build, for the tests:
#   cmake -S . -B build -Dkoa_dev_DIR=<koa_dev>/lib/cmake/koa_dev
#   cmake --build build && ctest --test-dir build
# The product, 32-bit Windows, cross-built with the toolchain file of the i686 koa_dev SDK (which
# also finds the SDK's package):
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=<SDK>/lib/cmake/koa_dev/toolchain-mingw-i686.cmake
cmake_minimum_required(VERSION 3.25)
project(@NAME@ VERSION 1.0.0.0 LANGUAGES CXX)

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
find_package(koa_dev @MAJOR@ CONFIG REQUIRED)

# The library and its test program side by side: Windows finds a program's DLLs beside it.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# koa_dev loads the library by its file name, @NAME@.dll: no "lib" prefix, and nothing exported
# but the functions marked @UPPER@_EXPORT.
add_library(@NAME@ SHARED src/@NAME@.cpp)
target_link_libraries(@NAME@ PRIVATE koa_dev::koa_dev)
target_compile_options(@NAME@ PRIVATE -Wall -Wextra)
set_target_properties(@NAME@ PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)

# The version resource that koa_dev compares with the released copy's: without one, a site cannot
# verify the library or copy it from its released directory. Raise the project version above for
# every release; add FLAGS PRERELEASE (or PRIVATE, SPECIAL) to mark a build of that kind.
string(REPLACE "." ", " version_text ${PROJECT_VERSION})
koa_dev_add_version_info(@NAME@
    FILE_VERSION ${PROJECT_VERSION}
    PRODUCT_VERSION ${PROJECT_VERSION}
    STRINGS
        "FileDescription=@NAME@ @KIND@ library"
        "FileVersion=${version_text}"
        "ProductVersion=${version_text}"
        "InternalName=@NAME@"
        "OriginalFilename=@NAME@${CMAKE_SHARED_LIBRARY_SUFFIX}")

# Tests without LabVIEW: koa_dev::lvhost stands in for LabVIEW's memory manager. Cross-built for
# Windows, the test program runs through CMAKE_CROSSCOMPILING_EMULATOR (e.g. wine).
enable_testing()
add_executable(@NAME@_tests tests/@NAME@_test.cpp)
target_link_libraries(@NAME@_tests PRIVATE @NAME@ koa_dev::koa_dev koa_dev::lvhost)
target_compile_options(@NAME@_tests PRIVATE -Wall -Wextra)
if(WIN32)
    add_custom_command(TARGET @NAME@_tests POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:koa_dev::koa_dev>
            $<TARGET_FILE_DIR:@NAME@_tests>)
endif()
add_test(NAME @NAME@_tests COMMAND @NAME@_tests)
set_tests_properties(@NAME@_tests PROPERTIES PASS_REGULAR_EXPRESSION "@NAME@ tests passed")
)text";

constexpr std::string_view kReadme = R"text(# @NAME@

A @KIND@ library for the common device library koa_dev, started with
`koa-dev new @KIND@ @NAME@`.

| File | What it holds |
|---|---|
| `src/@NAME@.h` | the exports koa_dev looks up by name, and the export macro |
| `src/@NAME@.cpp` | their code: replace the simulated @KIND@ with yours |
| `tests/@NAME@_test.cpp` | tests that call the exports as koa_dev and LabVIEW do, without either |
| `CMakeLists.txt` | the build against the installed koa_dev package, with the version resource |

## Build and test

```sh
cmake -S . -B build -Dkoa_dev_DIR=<koa_dev>/lib/cmake/koa_dev
cmake --build build
ctest --test-dir build
```

The product is a 32-bit Windows DLL. Cross-build it from Linux with the toolchain file of the
i686 SDK, which finds the SDK's package by itself:

```sh
cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=<SDK>/lib/cmake/koa_dev/toolchain-mingw-i686.cmake
cmake --build build-i686
```

The x86_64 SDK builds the same way; its test program runs under 64-bit Wine with
`-DCMAKE_CROSSCOMPILING_EMULATOR=wine`.

## Releasing

Raise the version in `CMakeLists.txt`, build, and copy `bin/@NAME@.dll` into the site's released
directory (`RELEASED_DLL_PATH`). koa_dev copies it to the local directory when the local copy is
missing and reports a version conflict while an older local copy is in use.
@RELEASE_NOTE@
The contract the exports follow is in koa_dev's `writing-a-library.md`.
)text";

constexpr std::string_view kExportMacro = R"text(
// koa_dev and LabVIEW find these functions by their plain names: they are extern "C" and
// exported, and use the C calling convention.
#if defined(_WIN32)
#define @UPPER@_EXPORT extern "C" __declspec(dllexport)
#else
#define @UPPER@_EXPORT extern "C" __attribute__((visibility("default")))
#endif
)text";

constexpr std::string_view kTestHelpers = R"text(
#include <koa_dev/lvhost.h>

#include <cstdio>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++failures;
    }
}
#define CHECK(condition) Check((condition), #condition)

} // namespace
)text";

constexpr std::string_view kTestMain = R"text(
int main() {
    RunTests();
    CHECK(lvhost::LiveHandles() == 0);
    if (failures != 0) {
        std::printf("%d check(s) failed\n", failures);
        return 1;
    }
    std::printf("@NAME@ tests passed\n");
    return 0;
}
)text";

constexpr std::string_view kControllerHeader = R"text(#pragma once

// The exports of the controller library @NAME@.
#include <koa_dev/koa_dev.h>

#include <cstdint>
@EXPORT_MACRO@
// Required: called right after every load.
@UPPER@_EXPORT void VerifyControllerConnected(ErrorCluster* err, TString parameters,
                                              int32_t reserved);

// Optional: called after a clean VerifyControllerConnected.
@UPPER@_EXPORT void* ControllerObjectPointer(ErrorCluster* ignored, TString name);

// Optional: called before the library is released, and when LabVIEW's main window closes.
@UPPER@_EXPORT void ControllerExit();

// Optional: the identification of the connected device.
@UPPER@_EXPORT void ID_Device(ErrorCluster* err, TString* id);

// Optional: a text for the version report.
@UPPER@_EXPORT void ControllerVersionInfo(TString* text);
)text";

constexpr std::string_view kControllerSource =
    R"text(// @NAME@: a controller library. It talks to the controller and identifies the device
// connected to it.
//
// koa_dev loads it by file name from the site's local library directory (copying the released
// copy there first when the local one is missing) and calls VerifyControllerConnected right after
// every load. A site names it in its controller list, one library specification per line:
//     @NAME@.dll | COM1
// The text after '|' is the parameter text VerifyControllerConnected receives.
//
// The controller here is simulated: replace Connection and the bodies below with your code. Use
// error codes of LabVIEW's range for user errors, 5000 to 9999. Never let an exception leave an
// export.
#include "@NAME@.h"

namespace {

// What the library keeps about its connection while it stays loaded. Every load calls
// VerifyControllerConnected again: reset the state there, not in static constructors.
struct Connection {
    bool open = false;
    TString port;
};

Connection connection;

} // namespace

// Decides whether the controller can be used. Record an error in err when it cannot: koa_dev then
// releases the library at once, without ControllerExit, and when it works through the controller
// list it tries the next entry. parameters is the text after '|' in the library specification.
// The last argument is always 0.
void VerifyControllerConnected(ErrorCluster* err, TString parameters, int32_t) {
    connection = Connection();
    parameters.Trim();
    if (parameters.IsEmpty()) {
        err->SetError(5000, "@NAME@: no port in the library specification");
        return;
    }
    connection.open = true;
    connection.port = parameters;
}

// Called with a private cluster and the name "DebugTools" after a clean verify. The pointer is
// what DebugTools() hands to LabVIEW code until the library is released. Delete this export when
// there is nothing to hand out.
void* ControllerObjectPointer(ErrorCluster*, TString) {
    return &connection;
}

// Called before the library is released, and also on LabVIEW's window thread when LabVIEW's main
// window closes: it may run twice for one load, so it must be safe to repeat.
void ControllerExit() {
    connection = Connection();
}

// Writes the identification of the connected device. An error recorded here reaches the caller
// as -1236 "Unable to Identify Device"; without this export ID_Device reports error 12.
void ID_Device(ErrorCluster* err, TString* id) {
    if (!connection.open) {
        err->SetError(5001, "@NAME@: not connected");
        return;
    }
    id->Format("@NAME@ device on %s", connection.port.CStr());
}

// Appended to the version report (FormattedVersionInfo); end it with a line feed.
void ControllerVersionInfo(TString* text) {
    text->Format("@NAME@ on port '%s'\n", connection.port.CStr());
}
)text";

constexpr std::string_view kControllerTest =
    R"text(// Tests of @NAME@ without LabVIEW or a site: they call the exports as koa_dev does, and
// koa_dev::lvhost stands in for LabVIEW's memory manager where a cluster goes to LabVIEW.
#include "../src/@NAME@.h"
@TEST_HELPERS@
namespace {

void ConnectsAndIdentifiesTheDevice() {
    ErrorCluster err;
    VerifyControllerConnected(&err, " COM1 ", 0);
    TString id;
    ID_Device(&err, &id);
    CHECK(!err.Status() && id == TString("@NAME@ device on COM1"));
    CHECK(ControllerObjectPointer(nullptr, "DebugTools") != nullptr);
    ControllerExit();
    ControllerExit();
}

void RefusesWithoutAPort() {
    ErrorCluster err;
    VerifyControllerConnected(&err, "", 0);
    // The cluster as LabVIEW receives it.
    LV_ErrorCluster lv{0, 0, nullptr};
    CHECK(err.LVErr(&lv) == 0 && lv.status == 1 && lv.code == 5000);
    CHECK(lvhost::Text(lv.source) == "@NAME@: no port in the library specification");
    lvhost::Dispose(lv.source);

    ErrorCluster idErr;
    TString id;
    ID_Device(&idErr, &id);
    CHECK(idErr.Code() == 5001 && id.IsEmpty());
}

void RunTests() {
    ConnectsAndIdentifiesTheDevice();
    RefusesWithoutAPort();
}

} // namespace
@TEST_MAIN@)text";

constexpr std::string_view kDeviceHeader = R"text(#pragma once

// The exports of the device library @NAME@.
#include <koa_dev/koa_dev.h>

#include <cstdint>
@EXPORT_MACRO@
// Required (the name is spelled so): called right after every load.
@UPPER@_EXPORT void LibraryInitilize(ErrorCluster* err, TString* result, TString parameters,
                                     int32_t reserved);

// Optional: called before the library is released, and when LabVIEW's main window closes.
@UPPER@_EXPORT void LibraryExit();

// Optional: a text for the version report.
@UPPER@_EXPORT void DeviceSpecificVersionInfo(TString* text);

// A function LabVIEW calls through a Call Library Function node: sends command to the device and
// writes its reply. Returns LabVIEW's memory manager error of writing the reply, 0 when none.
@UPPER@_EXPORT int32_t @NAME@_Query(LV_ErrorCluster* errorIO, LStr** command, LStr*** reply);
)text";

constexpr std::string_view kDeviceSource =
    R"text(// @NAME@: a device library, the code for one kind of device and the functions LabVIEW calls.
//
// koa_dev loads it by file name from the site's local library directory while a controller
// library is loaded, and calls LibraryInitilize right after every load. A driver loads it with
// LoadDeviceLibrary("@NAME@.dll|PARAMETERS"); the text after '|' is the parameter text
// LibraryInitilize receives.
//
// The device here is simulated: replace Device and the bodies below with your code. Use error
// codes of LabVIEW's range for user errors, 5000 to 9999. Never let an exception leave an export.
#include "@NAME@.h"

namespace {

// What the library keeps about its device while it stays loaded. Every load calls
// LibraryInitilize again: reset the state there, not in static constructors.
struct Device {
    bool ready = false;
    TString parameters;
};

Device device;

// Operations take the cluster first and do nothing once it holds an error.
TString Query(ErrorCluster* err, const TString& command) {
    TString reply;
    if (err->Status())
        return reply;
    if (!device.ready) {
        err->SetError(5001, "@NAME@: the library is not initialised");
        return reply;
    }
    if (command.IsEmpty()) {
        err->SetError(5002, "@NAME@: empty command");
        return reply;
    }
    reply.Format("@NAME@ reply to '%s'", command.CStr());
    return reply;
}

} // namespace

// Writes into *result the text LoadDeviceLibrary returns to LabVIEW. Record an error in err to
// refuse the load: koa_dev releases the library, without LibraryExit, and your code and message
// reach the caller. parameters is the text after '|'. The last argument is always 0.
void LibraryInitilize(ErrorCluster* err, TString* result, TString parameters, int32_t) {
    device = Device();
    parameters.Trim();
    if (parameters == TString("offline")) {
        err->SetError(5000, "@NAME@: the device is offline");
        return;
    }
    device.ready = true;
    device.parameters = parameters;
    result->Format("@NAME@ ready (%s)", parameters.CStr());
}

// Called before the library is released, and also on LabVIEW's window thread when LabVIEW's main
// window closes: it may run twice for one load, so it must be safe to repeat.
void LibraryExit() {
    device = Device();
}

// Appended to the version report (FormattedVersionInfo); end it with a line feed.
void DeviceSpecificVersionInfo(TString* text) {
    text->Format("@NAME@ with parameters '%s'\n", device.parameters.CStr());
}

// The pattern of every LabVIEW-facing function. In the Call Library Function node: C calling
// convention, return type int32; the error cluster "Adapt to Type" (passed as a pointer), input
// strings "String Handle", output strings "String Handle Pointer" (arrays likewise "Array Handle"
// and "Array Handle Pointer").
int32_t @NAME@_Query(LV_ErrorCluster* errorIO, LStr** command, LStr*** reply) {
    ErrorCluster err(errorIO);                          // the error wired in
    const TString text = Query(&err, TString(command)); // the operation, cluster first
    text.SetLV_String(&err, reply);                     // resize and fill the caller's handle
    return err.LVErr(errorIO); // the error out; a memory manager failure is the result
}
)text";

constexpr std::string_view kDeviceTest =
    R"text(// Tests of @NAME@ without LabVIEW: koa_dev::lvhost stands in for LabVIEW's memory manager, so
// handles go in and come out as LabVIEW passes them.
#include "../src/@NAME@.h"
@TEST_HELPERS@
namespace {

void InitialisesWithItsParameters() {
    ErrorCluster err;
    TString result;
    LibraryInitilize(&err, &result, " COM2 ", 0);
    CHECK(!err.Status() && result == TString("@NAME@ ready (COM2)"));
    LibraryInitilize(&err, &result, "offline", 0);
    CHECK(err.Status() && err.Code() == 5000);
    LibraryExit();
    LibraryExit();
}

void QueryAnswersThroughLabVIEWHandles() {
    ErrorCluster init;
    TString result;
    LibraryInitilize(&init, &result, "COM2", 0);
    LV_ErrorCluster error{0, 0, nullptr};
    LStr** command = lvhost::NewString("*IDN?");
    LStr** reply = nullptr;
    CHECK(@NAME@_Query(&error, command, &reply) == 0);
    CHECK(error.status == 0 && lvhost::Text(reply) == "@NAME@ reply to '*IDN?'");

    // An error wired in passes through untouched.
    error.status = 1;
    error.code = 42;
    CHECK(@NAME@_Query(&error, command, &reply) == 0 && error.code == 42);

    // The library's own error reaches the error out with its message.
    error = LV_ErrorCluster{0, 0, error.source};
    LStr** empty = lvhost::NewString("");
    @NAME@_Query(&error, empty, &reply);
    CHECK(error.status == 1 && error.code == 5002 &&
          lvhost::Text(error.source) == "@NAME@: empty command");

    // A failure of LabVIEW's memory manager is the function's result.
    error = LV_ErrorCluster{0, 0, error.source};
    lvhost::FailCall(1, lvhost::kMemoryFull);
    CHECK(@NAME@_Query(&error, command, &reply) == lvhost::kMemoryFull);
    for (LStr** handle : {command, empty, reply, error.source})
        lvhost::Dispose(handle);
    LibraryExit();
}

void RunTests() {
    InitialisesWithItsParameters();
    QueryAnswersThroughLabVIEWHandles();
}

} // namespace
@TEST_MAIN@)text";

constexpr std::string_view kControllerNote =
    "Sites name it in their controller list (`@NAME@.dll | COM1`).\n";
constexpr std::string_view kDeviceNote =
    "Drivers load it with `LoadDeviceLibrary(\"@NAME@.dll|PARAMETERS\")` once a controller\n"
    "library is connected.\n";

void Replace(std::string& text, std::string_view placeholder, std::string_view value) {
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

} // namespace

std::vector<ProjectFile> ProjectFiles(LibraryKind kind, const std::string& name,
                                      const std::string& major) {
    const bool controller = kind == LibraryKind::kController;
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // Fragments first: they hold the other placeholders.
    const std::pair<std::string_view, std::string_view> placeholders[] = {
        {"@EXPORT_MACRO@", kExportMacro},
        {"@TEST_HELPERS@", kTestHelpers},
        {"@TEST_MAIN@", kTestMain},
        {"@RELEASE_NOTE@", controller ? kControllerNote : kDeviceNote},
        {"@KIND@", controller ? "controller" : "device"},
        {"@NAME@", name},
        {"@UPPER@", upper},
        {"@MAJOR@", major}};
    const std::pair<std::string_view, std::string_view> files[] = {
        {"CMakeLists.txt", kCMakeLists},
        {"README.md", kReadme},
        {"src/@NAME@.h", controller ? kControllerHeader : kDeviceHeader},
        {"src/@NAME@.cpp", controller ? kControllerSource : kDeviceSource},
        {"tests/@NAME@_test.cpp", controller ? kControllerTest : kDeviceTest}};
    std::vector<ProjectFile> project;
    for (const auto& [path, text] : files) {
        ProjectFile file{std::string(path), std::string(text)};
        for (const auto& [placeholder, value] : placeholders) {
            Replace(file.path, placeholder, value);
            Replace(file.text, placeholder, value);
        }
        project.push_back(file);
    }
    return project;
}

} // namespace koa::tool
