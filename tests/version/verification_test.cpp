#include <koa_dev/version.h>

#include "release_layout.h"
#include "version/verification.h"

namespace {

#if defined(_WIN32)
const char kCommonReleased[] = "koa_dev.dll";
#else
const char kCommonReleased[] = "libkoa_dev.so";
#endif

struct Report {
    LV_int32 code; // 0: nothing recorded
    bool error;
    std::string source, text;
};

// One local and one released copy (empty: none), and what each check reports. The device texts
// are given; the controller's follow with its kind and file name.
struct Case {
    const char* local;
    const char* released;
    Report device, common;
};

const std::string kLocal3 = "\nLocal Library Version = '1, 0, 0, 3' ";

const Case kCases[] = {
    {"v1003", "v1003", {0, false, "", ""}, {0, false, "", ""}},
    {"v1003",
     "",
     {1, false, "Unable to Verify Version of Device Specific Library 'dev.dll",
      "Warning!!!     Unable to Verify Version of Device Specific Library 'dev.dll'\n\n"
      "Released Library Version = 'Unknown'" +
          kLocal3},
     {1, false, "Unable to Verify Version of 'koa_dev.dll'",
      "Warning!!!     Unable to Verify Version of 'koa_dev.dll'\n\n"
      "Released Library Version = 'Unknown'" +
          kLocal3}},
    {"v1003",
     "v1004",
     {2, false, "Device Specific Library 'dev.dll' Version Conflict!",
      "Warning!!!     Device Specific Library 'dev.dll'  Version Conflict!\n\n"
      "Released Library Version = '1, 0, 0, 4'" +
          kLocal3},
     {2, false, "Common Device DLL 'koa_dev.dll' Version Conflict!",
      "Warning!!!     'koa_dev.dll'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 4'" +
          kLocal3}},
    {"v1004",
     "v1003_pre",
     {2, false, "Device Specific Library 'dev.dll' Version Conflict!",
      "Warning!!!     Device Specific Library 'dev.dll'  Version Conflict!\n\n"
      "Pre-Released Library Version = '1, 0, 0, 3'\nLocal Library Version = '1, 0, 0, 4' "},
     {2, false, "Common Device DLL 'koa_dev.dll' Version Conflict!",
      "Warning!!!     'koa_dev.dll'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 3'"
      "\nLocal Library Version = '1, 0, 0, 4' "}},
    {"v1003_private_special",
     "v1004",
     {2, false, "Device Specific Library 'dev.dll' Version Conflict!",
      "Warning!!!     Device Specific Library 'dev.dll'  Version Conflict!\n\n"
      "Released Library Version = '1, 0, 0, 4'" +
          kLocal3 + "(Private-Build, Special-Build)"},
     {2, false, "Common Device DLL 'koa_dev.dll' Version Conflict!",
      "Warning!!!     'koa_dev.dll'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 4'" +
          kLocal3 + "(Private-Build, Special-Build)"}},
    {"v1003_pre_private",
     "v1003",
     {4, false, "Device Specific Library 'dev.dll' is a Pre-Release, Private-Build Version!",
      "Warning!!!    Device Specific Library 'dev.dll' is a Pre-Release, Private-Build Version!"},
     {3, false, "Common Device DLL 'koa_dev.dll' is a Pre-Release, Private-Build Version",
      "Warning!!!    Common Device DLL 'koa_dev.dll' is a Pre-Release, Private-Build Version"}},
    {"v1003_pre",
     "v1003",
     {3, false, "Device Specific Library 'dev.dll' is a Pre-Release Version!",
      "Warning!!!    Device Specific Library 'dev.dll' is a Pre-Release Version!"},
     {3, false, "Common Device DLL 'koa_dev.dll' is a Pre-Release Version",
      "Warning!!!    Common Device DLL 'koa_dev.dll' is a Pre-Release Version"}},
    {"plain",
     "v1003",
     {15, true, "Unable to read Local Library Version Information for 'dev.dll'\n", ""},
     {15, true, "Unable to read Library Version Information from '<local>'\n", ""}},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void ExpectReport(const ErrorCluster& err, const TString& text, const Report& report) {
    EXPECT_EQ(err.Code(), report.code);
    EXPECT_EQ(err.Status(), report.error);
    EXPECT_EQ(err.Source().CStr(), report.source);
    EXPECT_EQ(text.CStr(), report.text);
}

class Verification : public ReleaseLayout {};

// Each case runs in its own directories, so each load reads a new file.
TEST_F(Verification, ReportsEveryCaseWithItsCodeAndText) {
    int index = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.local) + " against " + c.released);
        UseLayout("case" + std::to_string(index++) + KOA_TEST_SEPARATOR);
        for (const char* name : {"dev.dll", "ctl.dll"}) {
            Place(c.local, local + name);
            if (*c.released)
                Place(c.released, released + name);
        }
        if (*c.released)
            Place(c.released, released + kCommonReleased);
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + "ctl.dll"));

        ErrorCluster device, controller, common;
        ExpectReport(device, VerifyDeviceSpecificDllVersion(&device, " dev.dll |COM1"), c.device);
        Report expected = c.device;
        for (std::string* text : {&expected.source, &expected.text}) {
            *text =
                Replace(*text, "Device Specific Library 'dev.dll", "Controller Library 'ctl.dll");
        }
        if (expected.code == 15)
            expected.source =
                "Unable to read Local Controller Library Version Information for 'ctl.dll'\n";
        ExpectReport(controller, VerifyControllerDllVersion(&controller), expected);

        void* own = moduleHandle;
        moduleHandle = controllerLibrary;
        expected = c.common;
        expected.source = Replace(expected.source, "<local>", local + "ctl.dll");
        ExpectReport(common, VerifyCommonDeviceDllVersion(&common), expected);
        moduleHandle = own;
        UnloadControllerLibrary(&common);
    }
}

TEST_F(Verification, KeepsEarlierReportsAndChecksOnlyWhatIsThere) {
    Place("v1003", released + "dev.dll");
    ErrorCluster err;
    err.SetWarning(9, "earlier");
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&err, "dev.dll|COM1").CStr(), "");
    EXPECT_TRUE(ReadAll(local + "dev.dll") == ReadAll(released + "dev.dll")) << "copied first";
    EXPECT_EQ(err.Code(), 9);

    ErrorCluster none, noController;
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&none, "nodev.dll").CStr(), "");
    ExpectReport(none, "", {13, true, "Device Library 'nodev.dll' Not Available", ""});
    EXPECT_STREQ(VerifyControllerDllVersion(&noController).CStr(), "");
    ExpectReport(noController, "",
                 {15, true, "Verify Controller DLL Version - No Controller DLL is Loaded", ""});

    // The copy fails: its error stands and the result is empty.
    Place("v1004", released + "other.dll");
    std::filesystem::remove_all(local);
    ErrorCluster failed;
    ExpectReport(failed, VerifyDeviceSpecificDllVersion(&failed, "other.dll"),
                 {14, true, "Unable to Update Local DLL 'other.dll'\n", ""});

    for (const ErrorCluster& blocked : {noController, failed}) {
        ErrorCluster copy = blocked;
        EXPECT_STREQ(VerifyCommonDeviceDllVersion(&copy).CStr(), "");
        EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&copy, "dev.dll").CStr(), "");
        EXPECT_STREQ(FormattedVersionInfo(&copy).CStr(), "");
        UpdateLocalDLL(&copy, "other.dll");
        EXPECT_EQ(copy.Source(), blocked.Source());
    }
    EXPECT_FALSE(DoesFileExists((local + "other.dll").c_str()));
}

TEST_F(Verification, ReportDescribesEachLoadedLibrary) {
    ErrorCluster err;
    const TString paths = FormattedVersionInfo(&err);
    Place("v1003_pre_private", local + "ctl.dll");
    Place("dev_v1003", local + "dev.dll");
    ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + "ctl.dll"));
    ASSERT_NO_FATAL_FAILURE(Load(deviceLibrary, local + "dev.dll"));
    const std::string report = FormattedVersionInfo(&err).CStr();
    EXPECT_EQ(report, std::string("Library = 'v1003_pre_private', Version = '1, 0, 0, 3' "
                                  "(PRE-RELEASE), Private Build = 'lab test'\n"
                                  "v1003_pre_private version\n"
                                  "Library = 'dev_v1003', Version = '1, 0, 0, 3'\n"
                                  "dev_v1003 version\n") +
                          paths.CStr());
    EXPECT_NE(report.find("Released DLL Path = '" + released + "'\n"), std::string::npos);
    EXPECT_FALSE(err.Status());
}

TEST_F(Verification, ReadsNumbersAndFlagsWhateverThePointers) {
    TArray<unsigned short, 6, LV_uInt16Array**> file(2, 7), product(2, 7);
    LV_uInt32 flags = 7;
    EXPECT_TRUE(ReadFileVersionInformation(Fixture("v1003_private_special").c_str(), &file,
                                           &product, &flags));
    EXPECT_EQ(file, (TArray<unsigned short, 6, LV_uInt16Array**>(4, 1, 0, 0, 3)));
    EXPECT_EQ(product, file);
    EXPECT_EQ(flags, 0x28u);
    EXPECT_TRUE(ReadFileVersionInformation(Fixture("v1003").c_str(), nullptr, nullptr, nullptr));
    EXPECT_FALSE(ReadFileVersionInformation(Fixture("plain").c_str(), &file, &product, &flags));
    EXPECT_EQ(file, (TArray<unsigned short, 6, LV_uInt16Array**>(4, 0)));
    EXPECT_EQ(product.GetSize(), 4);
    EXPECT_EQ(flags, 0u);
}

} // namespace
