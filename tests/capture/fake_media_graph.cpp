#include "fake_media_graph.h"

#include <QWidget>

namespace {

using Log = std::shared_ptr<std::vector<std::string>>;

std::string FormatText(const VideoFormat& f) {
    return f.subtype + " " + std::to_string(f.biWidth) + "x" + std::to_string(f.biHeight) + " " +
           std::to_string(f.biSizeImage) + " " + std::to_string(f.nFrameRateNum) + "/" +
           std::to_string(f.nFrameRateDen);
}

// Counts itself in the service's live-object count.
struct Counted {
    explicit Counted(std::shared_ptr<int> live) : m_live(std::move(live)) { ++*m_live; }
    ~Counted() { --*m_live; }
    std::shared_ptr<int> m_live;
};

class FakeCamera final : public ICaptureFilter, public IAMStreamConfig, Counted {
public:
    FakeCamera(const FakeScript& script, Log log, std::shared_ptr<int> live, std::string name)
        : Counted(std::move(live)), m_script(script), m_log(std::move(log)),
          m_format(script.cameraFormat), m_strName(std::move(name)) {}

    std::shared_ptr<IAMStreamConfig> FirstOutputStreamConfig() override {
        if (!m_script.bStreamConfig)
            return nullptr;
        // The configuration lives as long as the camera does.
        return std::shared_ptr<IAMStreamConfig>(std::shared_ptr<void>(), this);
    }
    HRESULT QueryPropertyPages(std::shared_ptr<ICameraControls>&) override { return E_NOINTERFACE; }
    std::string FriendlyName() const override { return m_strName; }

    HRESULT GetFormat(VideoFormat& format) override {
        m_log->push_back("GetFormat");
        format = m_format;
        return m_script.hrGetFormat;
    }
    HRESULT SetFormat(const VideoFormat& format) override {
        m_log->push_back("SetFormat " + FormatText(format));
        const std::string key = format.subtype + " " + std::to_string(format.biWidth) + "x" +
                                std::to_string(format.biHeight);
        if (!m_script.accepted.count(key))
            return VFW_E_INVALIDMEDIATYPE;
        m_format = format;
        return S_OK;
    }

    const FakeScript& m_script;
    Log m_log;
    VideoFormat m_format;
    std::string m_strName;
};

class FakeFilter final : public IBaseFilter, Counted {
public:
    explicit FakeFilter(std::shared_ptr<int> live) : Counted(std::move(live)) {}
};

class FakeBag final : public IPropertyBag {
public:
    explicit FakeBag(const FakeDevice& device) : m_device(device) {}
    HRESULT Read(const char* name, std::string& value) override {
        const std::optional<std::string>& v =
            std::string(name) == "FriendlyName" ? m_device.friendlyName : m_device.clsid;
        if (!v)
            return E_FAIL;
        value = *v;
        return S_OK;
    }

private:
    const FakeDevice& m_device;
};

class FakeMoniker final : public IMoniker {
public:
    FakeMoniker(FakeMediaGraphService& service, std::size_t index)
        : m_service(service), m_nIndex(index) {}
    HRESULT BindToStorage(std::shared_ptr<IPropertyBag>& bag) override {
        const FakeDevice& device = m_service.script.devices[m_nIndex];
        if (!device.bBagOpens)
            return E_FAIL;
        bag = std::make_shared<FakeBag>(device);
        return S_OK;
    }
    HRESULT BindToObject(std::shared_ptr<ICaptureFilter>& filter) override {
        m_service.log->push_back("BindToObject " + std::to_string(m_nIndex));
        const FakeDevice& device = m_service.script.devices[m_nIndex];
        if (!device.bFilterCreatable)
            return E_FAIL;
        filter =
            std::make_shared<FakeCamera>(m_service.script, m_service.log, m_service.liveObjects,
                                         device.friendlyName.value_or(""));
        return S_OK;
    }

private:
    FakeMediaGraphService& m_service;
    std::size_t m_nIndex;
};

class FakeEnum final : public IEnumMoniker {
public:
    explicit FakeEnum(FakeMediaGraphService& service) : m_service(service) {}
    HRESULT Reset() override {
        m_nNext = 0;
        return S_OK;
    }
    HRESULT Next(std::shared_ptr<IMoniker>& device) override {
        if (m_nNext >= m_service.script.devices.size())
            return S_FALSE;
        device = std::make_shared<FakeMoniker>(m_service, m_nNext++);
        return S_OK;
    }

private:
    FakeMediaGraphService& m_service;
    std::size_t m_nNext = 0;
};

class FakeGraph final : public IFilterGraph, public IMediaControl, public IVideoWindow, Counted {
public:
    FakeGraph(const FakeScript& script, Log log, std::shared_ptr<int> live)
        : Counted(std::move(live)), m_script(script), m_log(std::move(log)) {}
    ~FakeGraph() override { m_log->push_back("ReleaseGraph"); }

    HRESULT AddFilter(std::shared_ptr<IBaseFilter> filter, const char* name) override {
        m_log->push_back(std::string("AddFilter ") + name);
        const std::string n = name;
        const HRESULT hr = n == "Cap"             ? m_script.hrAddCamera
                           : n == "Grabber"       ? m_script.hrAddGrabber
                           : n == "NULL renderer" ? m_script.hrAddNullRenderer
                                                  : S_OK;
        if (SUCCEEDED(hr))
            m_filters.push_back(std::move(filter));
        return hr;
    }
    IMediaControl* QueryMediaControl() override { return m_script.bMediaControl ? this : nullptr; }
    IVideoWindow* QueryVideoWindow() override { return m_script.bVideoWindow ? this : nullptr; }

    HRESULT Run() override {
        m_log->push_back("Run");
        return m_script.hrRun;
    }
    HRESULT Stop() override {
        m_log->push_back("Stop");
        return S_OK;
    }

    HRESULT put_Owner(QWidget* owner) override {
        m_log->push_back(std::string("put_Owner ") + (owner ? "host" : "null"));
        return S_OK;
    }
    HRESULT put_Left(LONG v) override { return Put("put_Left", v); }
    HRESULT put_Top(LONG v) override { return Put("put_Top", v); }
    HRESULT put_Width(LONG v) override { return Put("put_Width", v); }
    HRESULT put_Height(LONG v) override { return Put("put_Height", v); }
    HRESULT put_WindowStyle(LONG v) override { return Put("put_WindowStyle", v); }
    HRESULT put_Visible(LONG v) override { return Put("put_Visible", v); }

    bool Holds(const IBaseFilter* filter) const {
        for (const auto& f : m_filters)
            if (f.get() == filter)
                return true;
        return false;
    }

private:
    HRESULT Put(const char* what, LONG v) {
        m_log->push_back(std::string(what) + " " + std::to_string(v));
        return S_OK;
    }
    const FakeScript& m_script;
    Log m_log;
    std::vector<std::shared_ptr<IBaseFilter>> m_filters;
};

class FakeBuilder final : public ICaptureGraphBuilder2, Counted {
public:
    FakeBuilder(const FakeScript& script, Log log, std::shared_ptr<int> live)
        : Counted(std::move(live)), m_script(script), m_log(std::move(log)) {}
    HRESULT SetFiltergraph(IFilterGraph* graph) override {
        m_pGraph = dynamic_cast<FakeGraph*>(graph);
        m_log->push_back("SetFiltergraph");
        return m_pGraph ? S_OK : E_INVALIDARG;
    }
    HRESULT FindPin(IBaseFilter*, PinDirection, PinCategory category, BOOL, int) override {
        m_log->push_back("FindPin");
        return category == PinCategory::VideoPort && m_script.bVideoPort ? S_OK : VFW_E_NOT_FOUND;
    }
    HRESULT RenderStream(PinCategory category, MajorType type, IBaseFilter* source,
                         IBaseFilter* intermediate, IBaseFilter* sink) override {
        const std::string key = std::string(category == PinCategory::Preview   ? "Preview"
                                            : category == PinCategory::Capture ? "Capture"
                                                                               : "VideoPort") +
                                "/" + (type == MajorType::Video ? "Video" : "Interleaved");
        const bool sinkKnown = !sink || m_pGraph->Holds(sink);
        m_log->push_back("RenderStream " + key + (sink ? " null-renderer" : " default") +
                         (m_pGraph->Holds(source) && m_pGraph->Holds(intermediate) && sinkKnown
                              ? ""
                              : " foreign"));
        auto it = m_script.render.find(key);
        const HRESULT hr = it == m_script.render.end() ? S_OK : it->second;
        if (SUCCEEDED(hr)) {
            auto* camera = dynamic_cast<FakeCamera*>(source);
            auto* grabber = dynamic_cast<FakeSampleGrabber*>(intermediate);
            if (camera && grabber) {
                grabber->m_bConnected = true;
                grabber->m_connected = {
                    "RGB24",
                    camera->m_format.biWidth,
                    camera->m_format.biHeight,
                    static_cast<DWORD>(camera->m_format.biWidth * camera->m_format.biHeight * 3),
                    0,
                    1};
            }
        }
        return hr;
    }

private:
    const FakeScript& m_script;
    Log m_log;
    FakeGraph* m_pGraph = nullptr;
};

} // namespace

FakeMediaGraphService::FakeMediaGraphService(FakeScript s)
    : script(std::move(s)), log(std::make_shared<std::vector<std::string>>()),
      liveObjects(std::make_shared<int>(0)) {}

std::vector<std::string> FakeMediaGraphService::Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& entry : *log)
        if (entry.rfind(prefix, 0) == 0)
            out.push_back(entry);
    return out;
}

HRESULT FakeMediaGraphService::CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) {
    if (script.devices.empty()) {
        devices.reset();
        return S_FALSE;
    }
    devices = std::make_unique<FakeEnum>(*this);
    return S_OK;
}

std::unique_ptr<IFilterGraph> FakeMediaGraphService::CreateFilterGraph() {
    log->push_back("CreateFilterGraph");
    if (!script.bGraphCreatable)
        return nullptr;
    return std::make_unique<FakeGraph>(script, log, liveObjects);
}

HRESULT FakeMediaGraphService::CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) {
    log->push_back("CreateSampleGrabber");
    if (FAILED(script.hrCreateGrabber))
        return script.hrCreateGrabber;
    grabber = std::make_shared<FakeSampleGrabber>(*this);
    return S_OK;
}

HRESULT FakeMediaGraphService::CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) {
    log->push_back("CreateNullRenderer");
    if (script.hrCreateNullRenderer != S_OK)
        return script.hrCreateNullRenderer;
    renderer = std::make_shared<FakeFilter>(liveObjects);
    return S_OK;
}

HRESULT
FakeMediaGraphService::CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) {
    log->push_back("CreateCaptureGraphBuilder");
    if (FAILED(script.hrCreateBuilder))
        return script.hrCreateBuilder;
    builder = std::make_unique<FakeBuilder>(script, log, liveObjects);
    return S_OK;
}

FakeSampleGrabber::FakeSampleGrabber(FakeMediaGraphService& service)
    : m_log(service.log), m_live(service.liveObjects), m_script(service.script) {
    ++*m_live;
}

FakeSampleGrabber::~FakeSampleGrabber() {
    --*m_live;
}

HRESULT FakeSampleGrabber::SetMediaType(const GrabberMediaType& type) {
    m_log->push_back("SetMediaType " + type.subtype +
                     (type.majortype == MajorType::Video ? " video" : "") +
                     " fixed=" + std::to_string(type.bFixedSizeSamples) +
                     " size=" + std::to_string(type.lSampleSize));
    return m_script.hrSetMediaType;
}
HRESULT FakeSampleGrabber::SetBufferSamples(BOOL b) {
    m_log->push_back("SetBufferSamples " + std::to_string(b));
    return S_OK;
}
HRESULT FakeSampleGrabber::SetOneShot(BOOL b) {
    m_log->push_back("SetOneShot " + std::to_string(b));
    return S_OK;
}
HRESULT FakeSampleGrabber::SetCallback(ISampleGrabberCB* pCallback, LONG nWhichMethod) {
    m_log->push_back("SetCallback " + std::to_string(nWhichMethod));
    m_pCallback = pCallback;
    return S_OK;
}
HRESULT FakeSampleGrabber::GetConnectedMediaType(VideoFormat& format) {
    m_log->push_back("GetConnectedMediaType");
    if (FAILED(m_script.hrConnected))
        return m_script.hrConnected;
    if (!m_bConnected)
        return VFW_E_NOT_CONNECTED;
    format = m_connected;
    return S_OK;
}
