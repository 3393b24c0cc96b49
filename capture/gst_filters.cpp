#include "capture/gst_filters.h"

#include "capture/frame_size_watch.h"
#include "capture/kept_camera_controls.h"
#include "capture/mjpeg_preview_decoder.h"
#include "capture/test_camera.h"
#include "capture/v4l2_controls.h"
#include "capture/video_caps.h"
#include "platform/config_paths.h"
#include "platform/trace.h"

// ---- camera ----------------------------------------------------------------

std::shared_ptr<CGstCaptureFilter>
CGstCaptureFilter::Create(GstElementPtr source, GstCapsPtr advertised, std::string friendlyName,
                          CameraControlSource controls, const VideoFormat* pStart) {
    if (!source || !advertised || gst_caps_is_empty(advertised.get()))
        return nullptr;
    std::shared_ptr<CGstCaptureFilter> filter(new CGstCaptureFilter());
    filter->m_pAdvertised = std::move(advertised);
    filter->m_strName = std::move(friendlyName);
    filter->m_controls = std::move(controls);
    if (!filter->Build(std::move(source)))
        return nullptr;

    // A camera keeps its format from one graph to the next; a new one starts
    // in 640x480 where it has it, otherwise in the first format it
    // advertises. Its caps are always held to one fixed format, so the size
    // the grabber will see is known before anything runs.
    GstCapsPtr start;
    if (pStart)
        start = FixFormat(filter->m_pAdvertised.get(), pStart->subtype, pStart->biWidth,
                          pStart->biHeight);
    for (const char* subtype : {"YUY2", "I420", "MJPG"}) {
        if (start)
            break;
        start = FixFormat(filter->m_pAdvertised.get(), subtype, 640, 480);
    }
    if (!start) {
        GstCapsPtr first(gst_caps_copy_nth(filter->m_pAdvertised.get(), 0));
        first.reset(gst_caps_make_writable(first.release()));
        GstStructure* s = gst_caps_get_structure(first.get(), 0);
        if (gst_structure_has_field(s, "framerate"))
            gst_structure_fixate_field_nearest_fraction(s, "framerate", 30, 1);
        start.reset(gst_caps_fixate(first.release()));
    }
    VideoFormat format;
    if (!FormatFromCaps(start.get(), format))
        return nullptr;
    filter->m_current = format;
    filter->Apply(std::move(start));
    return filter;
}

bool CGstCaptureFilter::Build(GstElementPtr source) {
    m_pBin.reset(gst_bin_new(nullptr));
    gst_object_ref_sink(m_pBin.get());
    const GstElementPtr capsFilter = MakeElement("capsfilter");
    if (!capsFilter)
        return false;
    m_pSource = source.get();
    m_pCapsFilter = capsFilter.get();
    gst_bin_add_many(GST_BIN(m_pBin.get()), source.get(), capsFilter.get(), nullptr);
    if (!gst_element_link(source.get(), capsFilter.get()))
        return false;
    const GstPadPtr pad(gst_element_get_static_pad(capsFilter.get(), "src"));
    // After the filter: the caps it holds the camera to are the ones a
    // renegotiating source leaves stale, and new ones must not meet it.
    WatchFrameSizes(pad.get());
    gst_element_add_pad(m_pBin.get(), gst_ghost_pad_new("src", pad.get()));
    return true;
}

void CGstCaptureFilter::Apply(GstCapsPtr caps) {
    g_object_set(m_pCapsFilter, "caps", caps.get(), nullptr);
}

std::shared_ptr<IAMStreamConfig> CGstCaptureFilter::FirstOutputStreamConfig() {
    return std::shared_ptr<IAMStreamConfig>(shared_from_this(),
                                            static_cast<IAMStreamConfig*>(this));
}

std::shared_ptr<CKeptCameraControls> CGstCaptureFilter::OpenControls() {
    std::shared_ptr<ICameraControls> driver;
    if (m_controls.bColorBalance)
        driver = CreateColorBalanceControls(m_pSource);
    else if (!m_controls.strDevicePath.empty())
        driver = CreateV4l2Controls(m_controls.strDevicePath);
    if (!driver)
        return nullptr;
    return std::make_shared<CKeptCameraControls>(
        std::move(driver), CKeptCameraValues(RegistryFilePath(), m_controls.strCameraId));
}

HRESULT CGstCaptureFilter::QueryPropertyPages(std::shared_ptr<ICameraControls>& controls) {
    controls = OpenControls();
    return controls ? S_OK : E_NOINTERFACE;
}

void CGstCaptureFilter::ApplyKeptControls() {
    if (std::shared_ptr<CKeptCameraControls> controls = OpenControls())
        controls->ApplyKept();
}

HRESULT CGstCaptureFilter::GetFormat(VideoFormat& format) {
    format = m_current;
    return S_OK;
}

HRESULT CGstCaptureFilter::SetFormat(const VideoFormat& format) {
    GstState state = GST_STATE_NULL;
    gst_element_get_state(m_pBin.get(), &state, nullptr, 0);
    if (state >= GST_STATE_PAUSED)
        return VFW_E_WRONG_STATE;
    // Decided from what the camera advertises, before anything is linked: a
    // format it cannot produce would only show as a failure after Run.
    GstCapsPtr caps =
        FixFormat(m_pAdvertised.get(), format.subtype, format.biWidth, format.biHeight);
    VideoFormat accepted;
    if (!caps || !FormatFromCaps(caps.get(), accepted)) {
        Trace("camera refuses %s %dx%d", format.subtype.c_str(), format.biWidth, format.biHeight);
        return VFW_E_INVALIDMEDIATYPE;
    }
    m_current = accepted;
    Apply(std::move(caps));
    if (m_onFormatSet)
        m_onFormatSet(accepted);
    return S_OK;
}

// ---- grabber ---------------------------------------------------------------

std::shared_ptr<CGstSampleGrabber> CGstSampleGrabber::Create() {
    std::shared_ptr<CGstSampleGrabber> grabber(new CGstSampleGrabber());
    // Converts and, where the renderer is smaller than the frame, scales in
    // the same pass. Stretched like the renderer's window always was: no
    // borders. Nearest pixel, as the preview has always been drawn.
    GstElementPtr convert = MakeElement("videoconvertscale");
    if (!convert)
        return nullptr;
    g_object_set(convert.get(), "add-borders", FALSE, nullptr);
    gst_util_set_object_arg(G_OBJECT(convert.get()), "method", "nearest-neighbour");
    grabber->m_pBin.reset(gst_bin_new(nullptr));
    gst_object_ref_sink(grabber->m_pBin.get());
    GstElement* bin = grabber->m_pBin.get();
    gst_element_add_pad(bin, gst_ghost_pad_new_no_target("sink", GST_PAD_SINK));
    gst_element_add_pad(bin, gst_ghost_pad_new_no_target("src", GST_PAD_SRC));
    if (!grabber->SetStage(std::move(convert)))
        return nullptr;
    // The tap sits on the bin's input: it sees the camera's frame, raw or JPEG.
    grabber->m_pTapPad.reset(gst_element_get_static_pad(bin, "sink"));
    grabber->m_nProbe = gst_pad_add_probe(grabber->m_pTapPad.get(), GST_PAD_PROBE_TYPE_BUFFER,
                                          &CGstSampleGrabber::OnBuffer, grabber.get(), nullptr);
    return grabber;
}

bool CGstSampleGrabber::SetStage(GstElementPtr stage) {
    GstBin* bin = GST_BIN(m_pBin.get());
    if (m_pStage)
        gst_bin_remove(bin, m_pStage.get());
    m_pStage = std::move(stage);
    if (!gst_bin_add(bin, m_pStage.get()))
        return false;
    const GstPadPtr sink(gst_element_get_static_pad(m_pStage.get(), "sink"));
    const GstPadPtr src(gst_element_get_static_pad(m_pStage.get(), "src"));
    const GstPadPtr ghostSink(gst_element_get_static_pad(m_pBin.get(), "sink"));
    const GstPadPtr ghostSrc(gst_element_get_static_pad(m_pBin.get(), "src"));
    return gst_ghost_pad_set_target(GST_GHOST_PAD(ghostSink.get()), sink.get()) &&
           gst_ghost_pad_set_target(GST_GHOST_PAD(ghostSrc.get()), src.get());
}

CGstSampleGrabber::~CGstSampleGrabber() {
    if (m_pTapPad)
        gst_pad_remove_probe(m_pTapPad.get(), m_nProbe);
}

bool CGstSampleGrabber::TakeJpegFrames() {
    GstElementPtr decoder = MakeMjpegPreviewDecoder();
    return decoder && SetStage(std::move(decoder));
}

// The callback always sees RGB24; the conversion to it is the tap's own.
HRESULT CGstSampleGrabber::SetMediaType(const GrabberMediaType& type) {
    if (type.majortype != MajorType::Video || type.subtype != "RGB24")
        return VFW_E_INVALIDMEDIATYPE;
    return S_OK;
}

// Samples are never kept inside the tap and delivery is always continuous:
// the hand-off copies what it needs during the call.
HRESULT CGstSampleGrabber::SetBufferSamples(BOOL bBuffer) {
    return bBuffer ? E_NOTIMPL : S_OK;
}
HRESULT CGstSampleGrabber::SetOneShot(BOOL bOneShot) {
    return bOneShot ? E_NOTIMPL : S_OK;
}

HRESULT CGstSampleGrabber::SetCallback(ISampleGrabberCB* pCallback, LONG nWhichMethod) {
    if (pCallback && nWhichMethod != 1)
        return E_NOTIMPL;
    m_pCallback.store(pCallback, std::memory_order_release);
    return S_OK;
}

HRESULT CGstSampleGrabber::GetConnectedMediaType(VideoFormat& format) {
    if (!m_bConnected)
        return VFW_E_NOT_CONNECTED;
    format = VideoFormat{};
    format.subtype = "RGB24";
    format.biWidth = m_nWidth;
    format.biHeight = m_nHeight;
    format.biSizeImage = static_cast<DWORD>(m_nWidth * m_nHeight * 3);
    return S_OK;
}

void CGstSampleGrabber::SetConnected(LONG width, LONG height) {
    m_bConnected = true;
    m_nWidth = width;
    m_nHeight = height;
}

// Streaming thread, for every frame: while no snapshot is armed BufferCB
// would do nothing with the frame, so it is not converted for it.
GstPadProbeReturn CGstSampleGrabber::OnBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    if (!SnapshotArmed())
        return GST_PAD_PROBE_OK;
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer)
        static_cast<CGstSampleGrabber*>(self)->Deliver(pad, buffer);
    return GST_PAD_PROBE_OK;
}

// Streaming thread: one call of the callback per armed frame, packed rows of
// width x 3 bytes, bottom row first, with the size of this frame: the caps it
// came with, not the size connected at the start, which a camera that
// renegotiates while it streams no longer sends.
void CGstSampleGrabber::Deliver(GstPad* pad, GstBuffer* buffer) {
    ISampleGrabberCB* callback = m_pCallback.load(std::memory_order_acquire);
    if (!callback)
        return;
    GstCapsPtr caps(gst_pad_get_current_caps(pad));
    LONG length = 0;
    LONG width = 0;
    LONG height = 0;
    const BYTE* pixels = m_snapshot.Convert(caps.get(), buffer, length, width, height);
    if (!pixels)
        return;
    const double seconds = GST_BUFFER_PTS_IS_VALID(buffer)
                               ? static_cast<double>(GST_BUFFER_PTS(buffer)) / GST_SECOND
                               : 0.0;
    callback->SizedBufferCB(seconds, const_cast<BYTE*>(pixels), length, width, height);
}

// ---- null renderer ---------------------------------------------------------

std::shared_ptr<CGstNullRenderer> CGstNullRenderer::Create() {
    GstElementPtr sink = MakeElement("fakesink");
    if (!sink)
        return nullptr;
    auto renderer = std::make_shared<CGstNullRenderer>();
    renderer->m_pSink = std::move(sink);
    return renderer;
}
