#pragma once
// The media graph service the capture engine is written against: a device
// list with property bags, a filter graph, a camera filter with its stream
// configuration, a frame grabber, a null renderer, a graph builder that
// completes the chain, the video window and the media control. Every
// operation answers with a 32-bit result code; filters are shared the way
// reference-counted objects are, so the graph and the caller may both hold one.
//
// One implementation runs on GStreamer (gst_media_graph.h); the tests use
// scripted fakes.

#include "capture/frame_buffer.h"
#include "platform/win_types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

// Result codes of the graph service beyond the common ones.
constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
constexpr HRESULT VFW_E_CANNOT_CONNECT = static_cast<HRESULT>(0x80040217u);
constexpr HRESULT VFW_E_CANNOT_RENDER = static_cast<HRESULT>(0x80040218u);
constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216u);
constexpr HRESULT VFW_E_DUPLICATE_NAME = static_cast<HRESULT>(0x8004022Eu);
constexpr HRESULT VFW_E_INVALIDMEDIATYPE = static_cast<HRESULT>(0x80040200u);
constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = static_cast<HRESULT>(0x80040207u);
constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227u);
constexpr HRESULT E_DEVICE_BUSY = static_cast<HRESULT>(0x800700AAu);   // ERROR_BUSY
constexpr HRESULT E_DEVICE_GONE = static_cast<HRESULT>(0x8007001Fu);   // ERROR_GEN_FAILURE
constexpr HRESULT E_START_TIMEOUT = static_cast<HRESULT>(0x800705B4u); // ERROR_TIMEOUT

// Pin categories and major types the graph builder understands.
enum class PinCategory { Capture, Preview, VideoPort };
enum class MajorType { Video, Interleaved };

// Pin direction for FindPin.
enum class PinDirection { Input, Output };

// A video format as the camera reports and accepts it: the subtype, the size
// and the image size, plus the frame rate the camera reported, kept as it is
// when the other fields change. Subtypes are four-character codes ("YUY2",
// "I420", "MJPG", "RGB24", or the raw format's own name).
struct VideoFormat {
    std::string subtype;
    LONG biWidth = 0;
    LONG biHeight = 0;
    DWORD biSizeImage = 0;
    int nFrameRateNum = 0;
    int nFrameRateDen = 1;
};

// The media type given to the grabber before it is connected.
struct GrabberMediaType {
    MajorType majortype = MajorType::Video;
    std::string subtype; // "RGB24"
    BOOL bFixedSizeSamples = TRUE;
    ULONG_T lSampleSize = 1;
};

// One control of the camera as its settings dialog shows it. Ids are V4L2
// control ids for every camera, so that one model serves all of them.
struct CameraControl {
    enum class Kind { Integer, Boolean, Menu, Button };
    // The driver's two pages: the picture (V4L2 user class) and the camera
    // (camera class).
    enum class Page { Picture, Camera };
    DWORD nId = 0;
    // As the driver names it, in readable case.
    std::string strName;
    Kind kind = Kind::Integer;
    Page page = Page::Picture;
    int nMinimum = 0;
    int nMaximum = 0;
    int nStep = 1;
    int nDefault = 0;
    int nValue = 0;
    // The driver ignores the control now (a manual value while its auto mode
    // is on): shown, not editable.
    bool bInactive = false;
    // A value the driver reports and never takes: shown, never editable.
    bool bReadOnly = false;
    // An auto mode: the manual control it governs (0 when that control is
    // absent), and the values that switch it on and off.
    DWORD nGoverns = 0;
    int nAutoOn = 1;
    int nAutoOff = 0;
    // Menu entries: (value, label); an integer menu's labels are its numbers.
    std::vector<std::pair<int, std::string>> menuItems;
};

// The camera's own settings (its property pages).
class ICameraControls {
public:
    virtual ~ICameraControls() = default;
    // Every control of the two pages, in the driver's order.
    virtual HRESULT GetControls(std::vector<CameraControl>& controls) = 0;
    // Applies one value to the running camera at once (a button control is
    // pressed, whatever the value).
    virtual HRESULT SetControl(DWORD nId, int nValue) = 0;
    // Why the last SetControl failed, in words for the user; empty after a
    // success.
    virtual std::string LastError() const { return {}; }
    // Every control back to the driver's default (camera_control_model.cpp).
    virtual HRESULT RestoreDefaults();
    // onChange runs on this thread whenever the driver reports that a control
    // changed on its own (an auto mode at work, another program); null stops
    // the reports. Controls that never change on their own report nothing.
    virtual void WatchChanges(std::function<void()> onChange) { (void)onChange; }
};

// The stream configuration of the camera's first output pin.
class IAMStreamConfig {
public:
    virtual ~IAMStreamConfig() = default;
    virtual HRESULT GetFormat(VideoFormat& format) = 0;
    // Refused (a failure code) when the camera cannot produce the format; the
    // camera then keeps the format it had.
    virtual HRESULT SetFormat(const VideoFormat& format) = 0;
};

class IBaseFilter {
public:
    virtual ~IBaseFilter() = default;
};

class ICaptureFilter : public IBaseFilter {
public:
    // Null when the filter has no output pin or the pin no stream configuration.
    virtual std::shared_ptr<IAMStreamConfig> FirstOutputStreamConfig() = 0;
    // E_NOINTERFACE when the camera offers no settings.
    virtual HRESULT QueryPropertyPages(std::shared_ptr<ICameraControls>& controls) = 0;
    // The camera's display name, the title of its settings dialog.
    virtual std::string FriendlyName() const = 0;
    // Names the device in DeviceChange reports; empty for a camera that
    // cannot go away.
    virtual std::string DeviceId() const { return {}; }
};

class ISampleGrabber : public IBaseFilter {
public:
    virtual HRESULT SetMediaType(const GrabberMediaType& type) = 0;
    virtual HRESULT SetBufferSamples(BOOL bBuffer) = 0;
    virtual HRESULT SetOneShot(BOOL bOneShot) = 0;
    // nWhichMethod 1 selects BufferCB, called on the streaming thread.
    virtual HRESULT SetCallback(ISampleGrabberCB* pCallback, LONG nWhichMethod) = 0;
    virtual HRESULT GetConnectedMediaType(VideoFormat& format) = 0;
};

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual HRESULT Run() = 0;
    // Returns only when no further BufferCB call can come.
    virtual HRESULT Stop() = 0;
};

constexpr LONG OATRUE = -1;
constexpr LONG OAFALSE = 0;
constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;

class IVideoWindow {
public:
    virtual ~IVideoWindow() = default;
    virtual HRESULT put_Owner(QWidget* owner) = 0;
    virtual HRESULT put_Left(LONG left) = 0;
    virtual HRESULT put_Top(LONG top) = 0;
    virtual HRESULT put_Width(LONG width) = 0;
    virtual HRESULT put_Height(LONG height) = 0;
    virtual HRESULT put_WindowStyle(LONG style) = 0;
    virtual HRESULT put_Visible(LONG visible) = 0;
};

class IFilterGraph {
public:
    virtual ~IFilterGraph() = default;
    // The graph keeps its own reference to the filter under the name.
    virtual HRESULT AddFilter(std::shared_ptr<IBaseFilter> filter, const char* name) = 0;
    // Interfaces of the graph, borrowed for as long as the graph lives; null
    // when the graph does not offer them.
    virtual IMediaControl* QueryMediaControl() = 0;
    virtual IVideoWindow* QueryVideoWindow() = 0;
    // onLost runs once, on the application's main thread, when the camera of
    // the running graph ends its stream with an error (E_DEVICE_GONE: it went
    // away or stopped delivering; E_DEVICE_BUSY: another program took it). A
    // loss before the call is reported at once. Never after Stop or the
    // graph's release, and never for a failed Run, which returns its error.
    // A graph whose camera cannot be lost reports nothing.
    virtual void ReportCameraLoss(std::function<void(HRESULT)> onLost) { (void)onLost; }
};

class ICaptureGraphBuilder2 {
public:
    virtual ~ICaptureGraphBuilder2() = default;
    virtual HRESULT SetFiltergraph(IFilterGraph* graph) = 0;
    virtual HRESULT FindPin(IBaseFilter* filter, PinDirection direction, PinCategory category,
                            BOOL bUnconnected, int nIndex) = 0;
    // Connects source to intermediate to sink, inserting the converters the
    // formats need; a null sink lets the builder add the default renderer.
    virtual HRESULT RenderStream(PinCategory category, MajorType type, IBaseFilter* source,
                                 IBaseFilter* intermediate, IBaseFilter* sink) = 0;
};

class IPropertyBag {
public:
    virtual ~IPropertyBag() = default;
    virtual HRESULT Read(const char* name, std::string& value) = 0;
};

class IMoniker {
public:
    virtual ~IMoniker() = default;
    virtual HRESULT BindToStorage(std::shared_ptr<IPropertyBag>& bag) = 0;
    // Creates a new filter instance for the device; null on failure.
    virtual HRESULT BindToObject(std::shared_ptr<ICaptureFilter>& filter) = 0;
};

class IEnumMoniker {
public:
    virtual ~IEnumMoniker() = default;
    virtual HRESULT Reset() = 0;
    // S_OK with the next device, anything else at the end.
    virtual HRESULT Next(std::shared_ptr<IMoniker>& device) = 0;
};

// A camera that appeared or went away.
struct DeviceChange {
    bool bAdded = false;
    std::string strDeviceId; // as ICaptureFilter::DeviceId names it
};

// The system service: the device enumerator and the object factory.
class IMediaGraphService {
public:
    virtual ~IMediaGraphService() = default;
    // Null enumerator (S_FALSE) when no video input device is present.
    virtual HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) = 0;
    virtual std::unique_ptr<IFilterGraph> CreateFilterGraph() = 0;
    virtual HRESULT CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) = 0;
    virtual HRESULT CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) = 0;
    virtual HRESULT CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) = 0;
    // From now on reports every camera that appears or goes, on the thread
    // that created the service, for as long as the service lives. A service
    // without hotplug reports nothing.
    virtual void WatchDevices(std::function<void(const DeviceChange&)> onChange) { (void)onChange; }
};

// The class string every camera of the current camera stack carries.
inline constexpr char KSPROXY_CLSID[] = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
