// Which device FindCameraFilter takes: the preferred names, the camera stack's
// class, exact comparisons, order, and the second try through the class rule.

#include "capture/camera_discovery.h"
#include "fake_media_graph.h"

#include <gtest/gtest.h>

namespace {

// The camera stack's class, spelled out: a wrong constant in the code must show.
const std::string KS = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
const std::string OLD_CLASS = "{860BB310-5D01-11D0-BD3B-00A0C911CE86}";

FakeDevice Device(std::optional<std::string> name, std::optional<std::string> clsid) {
    FakeDevice d;
    d.friendlyName = std::move(name);
    d.clsid = std::move(clsid);
    return d;
}

// Index of the device chosen (from the fake's bind log), or -1.
int Chosen(FakeMediaGraphService& service) {
    std::shared_ptr<ICaptureFilter> filter;
    FindCameraFilter(service, &filter);
    const auto binds = service.Calls("BindToObject ");
    if (!filter)
        return -1;
    return std::stoi(binds.back().substr(13));
}

TEST(CameraDiscovery, NoDeviceGivesNoFilterAndCreatesNothing) {
    FakeMediaGraphService service;
    std::shared_ptr<ICaptureFilter> filter;
    FindCameraFilter(service, &filter);
    EXPECT_EQ(filter, nullptr);
    EXPECT_TRUE(service.Calls("BindToObject").empty());
    EXPECT_EQ(*service.liveObjects, 0);
}

TEST(CameraDiscovery, NullOutPointerReturnsAtOnce) {
    FakeMediaGraphService service({.devices = {Device("x", KS)}});
    FindCameraFilter(service, nullptr);
    EXPECT_TRUE(service.log->empty());
}

TEST(CameraDiscovery, CameraStackClassIsTakenWhateverItsName) {
    FakeMediaGraphService service({.devices = {Device("Some Webcam", KS)}});
    EXPECT_EQ(Chosen(service), 0);
}

TEST(CameraDiscovery, OtherClassWithUnknownNameIsPassedOver) {
    FakeMediaGraphService service({.devices = {Device("Old Capture Card", OLD_CLASS)}});
    EXPECT_EQ(Chosen(service), -1);
    EXPECT_TRUE(service.Calls("BindToObject").empty());
}

TEST(CameraDiscovery, PreferredNameIsTakenWhateverItsClass) {
    for (const char* name : {"Nimbrel Roundcam", "USB2.0 Imager", "OrvelCam, TK Max"}) {
        FakeMediaGraphService service({.devices = {Device(name, OLD_CLASS)}});
        EXPECT_EQ(Chosen(service), 0) << name;
    }
}

TEST(CameraDiscovery, ComparisonsAreExact) {
    for (const char* name : {"usb2.0 imager", "USB2.0 Imager ", " USB2.0 Imager", "USB2.0 Image"}) {
        FakeMediaGraphService service({.devices = {Device(name, OLD_CLASS)}});
        EXPECT_EQ(Chosen(service), -1) << '"' << name << '"';
    }
    std::string lower = KS;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& clsid : {lower, KS + " ", KS.substr(1, KS.size() - 2)}) {
        FakeMediaGraphService service({.devices = {Device("Cam", clsid)}});
        EXPECT_EQ(Chosen(service), -1) << clsid;
    }
}

TEST(CameraDiscovery, FirstQualifyingDeviceWinsOnEveryCall) {
    FakeMediaGraphService service(
        {.devices = {Device("Old", OLD_CLASS), Device("Cam A", KS), Device("USB2.0 Imager", KS)}});
    EXPECT_EQ(Chosen(service), 1);
    EXPECT_EQ(Chosen(service), 1);
}

TEST(CameraDiscovery, EachCallCreatesANewFilter) {
    FakeMediaGraphService service({.devices = {Device("Cam", KS)}});
    std::shared_ptr<ICaptureFilter> a, b;
    FindCameraFilter(service, &a);
    FindCameraFilter(service, &b);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
}

TEST(CameraDiscovery, ListedModelThatCannotBeCreatedIsTriedAgainThroughItsClass) {
    FakeDevice d = Device("OrvelCam, TK Max", KS);
    d.bFilterCreatable = false;
    FakeMediaGraphService service({.devices = {d, Device("Next", KS)}});
    std::shared_ptr<ICaptureFilter> filter;
    FindCameraFilter(service, &filter);
    EXPECT_EQ(service.Calls("BindToObject 0").size(), 2u);
    // Both tries failed: the walk goes on to the next camera.
    ASSERT_TRUE(filter);
    EXPECT_EQ(filter->FriendlyName(), "Next");
}

TEST(CameraDiscovery, DeviceWithoutBagOrNameIsSkippedEvenWithTheClass) {
    FakeDevice noBag = Device("Cam", KS);
    noBag.bBagOpens = false;
    FakeDevice noName = Device(std::nullopt, KS);
    FakeMediaGraphService service({.devices = {noBag, noName, Device("Third", KS)}});
    EXPECT_EQ(Chosen(service), 2);
}

TEST(CameraDiscovery, DeviceWithoutClassAndUnknownNameIsSkipped) {
    FakeMediaGraphService service({.devices = {Device("Cam", std::nullopt), Device("B", KS)}});
    EXPECT_EQ(Chosen(service), 1);
}

TEST(CameraDiscovery, NothingIsKeptAfterTheWalk) {
    FakeMediaGraphService service({.devices = {Device("Cam", KS)}});
    {
        std::shared_ptr<ICaptureFilter> filter;
        FindCameraFilter(service, &filter);
        EXPECT_EQ(*service.liveObjects, 1); // only the filter handed out
    }
    EXPECT_EQ(*service.liveObjects, 0);
}

} // namespace
