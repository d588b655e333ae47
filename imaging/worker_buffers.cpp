#include "imaging/worker_buffers.h"

#include "imaging/dib_section.h"
#include "imaging/jpeg_encoder.h"

namespace grelm {

WorkerBuffers::WorkerBuffers() : dib(std::make_unique<cDIBSection>(messages)), encoder(std::make_unique<JpegEncoder>()) {}

WorkerBuffers::~WorkerBuffers() = default;

} // namespace grelm
