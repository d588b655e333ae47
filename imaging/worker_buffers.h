#pragma once

#include "core/messages.h"

#include <cstdint>
#include <memory>

namespace grelm {

class JpegEncoder;
class MemoryBudget;
class cDIBSection;
struct BmpAllocation;

/// Buffers larger than this are freed once their picture is done; smaller
/// ones, the size of any screenshot, serve the next picture.
inline constexpr std::uint64_t kKeptBufferBytes = 32ull * 1024 * 1024;

/// What one thread loads and encodes with: a pixel buffer whose load failures
/// are recorded (to be handed on in order by the window's thread) and a JPEG
/// encoder. Kept for a whole command, so that its memory serves every file.
/// With a budget, each load first waits for the picture's share of it: its
/// pixels, the encoder's output buffer and the working memory that
/// `scratchBytes` gives for that size; endUse gives the share back.
struct WorkerBuffers {
    using ScratchBytes = std::uint64_t (*)(std::int32_t width, std::int32_t height);

    explicit WorkerBuffers(MemoryBudget *budget = nullptr, ScratchBytes scratchBytes = nullptr);
    ~WorkerBuffers();
    WorkerBuffers(const WorkerBuffers &) = delete;
    WorkerBuffers &operator=(const WorkerBuffers &) = delete;

    /// Frees the buffers above kKeptBufferBytes and gives back the share the
    /// last load took; call once the picture's results are copied out.
    void endUse();

    RecordingMessageSink messages; ///< declared before `dib`, which is made reporting to it
    std::unique_ptr<cDIBSection> dib;
    std::unique_ptr<JpegEncoder> encoder;

private:
    void reserve(const BmpAllocation &allocation);

    MemoryBudget *m_budget;
    ScratchBytes m_scratchBytes;
    std::uint64_t m_held = 0;
};

/// Ends a use of a worker's buffers when it goes out of scope, thrown past or not.
class BufferUse {
public:
    explicit BufferUse(WorkerBuffers &buffers) : m_buffers(buffers) {}
    ~BufferUse() { m_buffers.endUse(); }
    BufferUse(const BufferUse &) = delete;
    BufferUse &operator=(const BufferUse &) = delete;

private:
    WorkerBuffers &m_buffers;
};

} // namespace grelm
