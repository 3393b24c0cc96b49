#include "library/jpeg_codec.h"

#include "library/jpeg_file.h"

const JpegCodec& JpegFileCodec() {
    static const JpegCodec codec{&JpegFile::EncodeFromRgb, &JpegFile::DecodeToRgb,
                                 &JpegFile::SwapRedBlue, &JpegFile::FlipVertical};
    return codec;
}
