#include "imaging/worker_buffers.h"

#include "core/memory_budget.h"
#include "imaging/dib_section.h"
#include "imaging/jpeg_encoder.h"

#include <utility>

namespace grelm {

WorkerBuffers::WorkerBuffers(MemoryBudget *budget, ScratchBytes scratchBytes)
    : dib(std::make_unique<cDIBSection>(messages)), encoder(std::make_unique<JpegEncoder>()), m_budget(budget),
      m_scratchBytes(scratchBytes)
{
    if (m_budget)
        dib->setBeforeAllocate([this](const BmpAllocation &a) { reserve(a); });
}

WorkerBuffers::~WorkerBuffers()
{
    endUse();
}

void WorkerBuffers::reserve(const BmpAllocation &a)
{
    endUse(); // a load whose use was not ended gives its share back first: never wait holding one
    const std::uint64_t share = a.pixelBytes + a.copyBytes + JpegEncoder::worstCaseBytes(a.width, a.height)
                                + (m_scratchBytes ? m_scratchBytes(a.width, a.height) : 0);
    m_budget->acquire(share);
    m_held = share;
}

void WorkerBuffers::endUse()
{
    // Freed before the share is given back, so that the next holder never
    // finds this memory still taken.
    if (dib->memoryBytes() > kKeptBufferBytes)
        dib->releaseMemory();
    if (encoder->bufferBytes() > kKeptBufferBytes)
        encoder->releaseBuffer();
    if (m_held > 0)
        m_budget->release(std::exchange(m_held, 0));
}

} // namespace grelm
