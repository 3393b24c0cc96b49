#pragma once
// A scripted media graph service: every object answers as the script says and
// writes what was asked of it into one shared log, so tests check the calls
// and their order.

#include "capture/media_graph.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct FakeDevice {
    bool bBagOpens = true;
    std::optional<std::string> friendlyName;
    std::optional<std::string> clsid;
    bool bFilterCreatable = true;
};

// A camera that opens and builds like any other: most tests need just one.
inline FakeDevice FakeCamera() {
    return {.friendlyName = "Cam", .clsid = KSPROXY_CLSID};
}

struct FakeScript {
    bool bGraphCreatable = true;
    std::vector<FakeDevice> devices{}; // none: a null enumerator
    HRESULT hrAddCamera = S_OK;
    bool bStreamConfig = true;
    HRESULT hrGetFormat = S_OK;
    VideoFormat cameraFormat{"MJPG", 800, 600, 800 * 600 * 3, 15, 1};
    // "YUY2 640x480" entries the camera accepts.
    std::set<std::string> accepted{"YUY2 640x480", "YUY2 320x240", "YUY2 1280x1024", "I420 640x480",
                                   "I420 320x240"};
    HRESULT hrCreateGrabber = S_OK;
    HRESULT hrSetMediaType = S_OK;
    HRESULT hrAddGrabber = S_OK;
    HRESULT hrCreateBuilder = S_OK;
    bool bVideoPort = false;
    HRESULT hrCreateNullRenderer = S_OK;
    HRESULT hrAddNullRenderer = S_OK;
    // Results by attempt: "Preview/Interleaved", "Preview/Video", "Capture/Video".
    std::map<std::string, HRESULT> render{};
    HRESULT hrConnected = S_OK;
    bool bVideoWindow = true;
    bool bMediaControl = true;
    HRESULT hrRun = S_OK;
};

class FakeSampleGrabber;

class FakeMediaGraphService final : public IMediaGraphService {
public:
    explicit FakeMediaGraphService(FakeScript script = {});

    HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) override;
    std::unique_ptr<IFilterGraph> CreateFilterGraph() override;
    HRESULT CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) override;
    HRESULT CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) override;
    HRESULT CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) override;

    FakeScript script;
    // Shared with every object made; survives them.
    std::shared_ptr<std::vector<std::string>> log;
    // Objects alive now, to check that everything made is released.
    std::shared_ptr<int> liveObjects;

    // Entries of the log that start with prefix.
    std::vector<std::string> Calls(const std::string& prefix) const;
};

// The grabber of a graph built by the fake, to deliver frames through it.
class FakeSampleGrabber final : public ISampleGrabber {
public:
    FakeSampleGrabber(FakeMediaGraphService& service);
    ~FakeSampleGrabber() override;
    HRESULT SetMediaType(const GrabberMediaType& type) override;
    HRESULT SetBufferSamples(BOOL bBuffer) override;
    HRESULT SetOneShot(BOOL bOneShot) override;
    HRESULT SetCallback(ISampleGrabberCB* pCallback, LONG nWhichMethod) override;
    HRESULT GetConnectedMediaType(VideoFormat& format) override;

    ISampleGrabberCB* m_pCallback = nullptr;
    VideoFormat m_connected;
    bool m_bConnected = false;

private:
    std::shared_ptr<std::vector<std::string>> m_log;
    std::shared_ptr<int> m_live;
    const FakeScript& m_script;
};
