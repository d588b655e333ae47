#pragma once

#include "core/messages.h"

#include <memory>

namespace grelm {

class JpegEncoder;
class cDIBSection;

/// What one thread loads and encodes with: a pixel buffer whose load failures
/// are recorded (to be handed on in order by the window's thread) and a JPEG
/// encoder. Kept for a whole command, so that its memory serves every file.
struct WorkerBuffers {
    WorkerBuffers();
    ~WorkerBuffers();
    RecordingMessageSink messages; ///< declared before `dib`, which is made reporting to it
    std::unique_ptr<cDIBSection> dib;
    std::unique_ptr<JpegEncoder> encoder;
};

} // namespace grelm
