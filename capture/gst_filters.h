#pragma once
// The filters of the GStreamer graph: the camera (its source and the caps it
// is held to), the frame grabber tap and the null renderer.

#include "capture/bgr_snapshot_converter.h"
#include "capture/gst_ptr.h"
#include "capture/media_graph.h"
#include "capture/pipewire_connection.h"

#include <gst/video/video.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

// How a camera's settings are reached.
struct CameraControlSource {
    std::string strDevicePath;  // a V4L2 node, or empty
    bool bColorBalance = false; // the test camera's videobalance
    // Names the camera in the store of kept control values.
    std::string strCameraId;
};

class CGstCaptureFilter final : public ICaptureFilter,
                                public IAMStreamConfig,
                                public IGstElementFilter,
                                public std::enable_shared_from_this<CGstCaptureFilter> {
public:
    // Null when the source cannot be wrapped or advertises nothing usable.
    // The camera starts in pStart when it still offers it (the format the
    // device had in the last graph), otherwise in 640x480 where it has it.
    static std::shared_ptr<CGstCaptureFilter> Create(GstElementPtr source, GstCapsPtr advertised,
                                                     std::string friendlyName,
                                                     CameraControlSource controls,
                                                     const VideoFormat* pStart = nullptr);

    std::shared_ptr<IAMStreamConfig> FirstOutputStreamConfig() override;
    // The controls as the camera's driver keeps them (kept_camera_controls.h).
    HRESULT QueryPropertyPages(std::shared_ptr<ICameraControls>& controls) override;
    // Sets the values kept for this camera; the graph calls it before every
    // start, so the first frame already shows them.
    void ApplyKeptControls();
    std::string FriendlyName() const override { return m_strName; }
    std::string DeviceId() const override { return m_strDeviceId; }
    void SetDeviceId(std::string id) { m_strDeviceId = std::move(id); }
    // Told every format the camera accepts, so the next graph of the same
    // device can start in it.
    void SetFormatListener(std::function<void(const VideoFormat&)> listener) {
        m_onFormatSet = std::move(listener);
    }
    // The PipeWire connection the source was given, kept as long as the source.
    void SetConnection(std::unique_ptr<CPipeWireConnection> connection) {
        m_pConnection = std::move(connection);
    }

    HRESULT GetFormat(VideoFormat& format) override;
    HRESULT SetFormat(const VideoFormat& format) override;

    GstElement* Element() const override { return m_pBin.get(); }
    // The format the camera delivers (its caps are held to it).
    const VideoFormat& CurrentFormat() const { return m_current; }

private:
    CGstCaptureFilter() = default;
    bool Build(GstElementPtr source);
    std::shared_ptr<class CKeptCameraControls> OpenControls();
    void Apply(GstCapsPtr caps);

    std::unique_ptr<CPipeWireConnection> m_pConnection; // outlives the source
    GstElementPtr m_pBin;
    GstElement* m_pSource = nullptr;     // inside m_pBin
    GstElement* m_pCapsFilter = nullptr; // inside m_pBin
    GstCapsPtr m_pAdvertised;
    VideoFormat m_current;
    std::string m_strName;
    std::string m_strDeviceId;
    std::function<void(const VideoFormat&)> m_onFormatSet;
    CameraControlSource m_controls;
};

// The frame tap and the preview's conversion. Every frame is converted once,
// to what the renderer takes at its size (its caps ask for it): raw frames by
// videoconvertscale, a JPEG camera's frames by the preview decoder. Ahead of
// that conversion a probe sees the camera's own frame; only while a snapshot
// is armed does it build the bottom-up BGR24 copy and hand it to the callback
// on the streaming thread.
class CGstSampleGrabber final : public ISampleGrabber, public IGstElementFilter {
public:
    // Null when an element is missing from the installation.
    static std::shared_ptr<CGstSampleGrabber> Create();
    ~CGstSampleGrabber() override;

    HRESULT SetMediaType(const GrabberMediaType& type) override;
    HRESULT SetBufferSamples(BOOL bBuffer) override;
    HRESULT SetOneShot(BOOL bOneShot) override;
    HRESULT SetCallback(ISampleGrabberCB* pCallback, LONG nWhichMethod) override;
    HRESULT GetConnectedMediaType(VideoFormat& format) override;

    GstElement* Element() const override { return m_pBin.get(); }
    // Before linking: the camera sends JPEG, which the preview decoder takes
    // in place of videoconvertscale. False when it cannot be put in.
    bool TakeJpegFrames();
    // The graph builder reports the size the tap will deliver once connected.
    void SetConnected(LONG width, LONG height);

private:
    CGstSampleGrabber() = default;
    static GstPadProbeReturn OnBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void Deliver(GstPad* pad, GstBuffer* buffer);

    bool SetStage(GstElementPtr stage);

    GstElementPtr m_pBin;
    // Inside m_pBin, between its ghost pads.
    GstElementPtr m_pStage;
    GstPadPtr m_pTapPad;
    gulong m_nProbe = 0;
    std::atomic<ISampleGrabberCB*> m_pCallback{nullptr};
    bool m_bConnected = false;
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;

    // Streaming thread only.
    CBottomUpBgrConverter m_snapshot;
};

// Takes frames and drops them: the sink for a camera whose picture goes
// elsewhere.
class CGstNullRenderer final : public IBaseFilter, public IGstElementFilter {
public:
    static std::shared_ptr<CGstNullRenderer> Create();
    GstElement* Element() const override { return m_pSink.get(); }

private:
    GstElementPtr m_pSink;
};
