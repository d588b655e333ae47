#include "imaging/convert_pass_jobs.h"

#include "imaging/convert_pass_encode.h"
#include "imaging/batch_conversion.h"
#include "imaging/dib_section.h"
#include "imaging/jpeg_encoder.h"

#include <algorithm>

namespace grelm {

struct JpegJobs::Worker {
    explicit Worker(cDIBSection *shared) : ownBuffer(shared ? nullptr : std::make_unique<cDIBSection>(messages)),
                                           dib(shared ? *shared : *ownBuffer) {}

    RecordingMessageSink messages;
    std::unique_ptr<cDIBSection> ownBuffer;
    cDIBSection &dib;
    JpegEncoder encoder;
};

JpegJobs::JpegJobs(ConvertSession &session) : m_session(session)
{
    if (session.threading.sequential) {
        m_inline = std::make_unique<Worker>(&session.inlineBuffer);
        return;
    }
    const int count = std::max(session.threading.workers, 1);
    for (int i = 0; i < count; ++i)
        m_workers.push_back(std::make_unique<Worker>(nullptr));
}

JpegJobs::~JpegJobs() = default;

int JpegJobs::workerCount() const
{
    return int(m_workers.size());
}

std::size_t JpegJobs::lookAhead() const
{
    return std::size_t(std::max(m_session.threading.lookAheadPerWorker, 1));
}

void JpegJobs::prepare(const QString &source, int worker, PreparedJpeg &slot)
{
    Worker &w = m_inline ? *m_inline : *m_workers[std::size_t(worker)];
    slot.sourceTime = modificationTime(source);
    w.dib.Load(source);
    slot.messages.swap(w.messages.messages);
    w.messages.messages.clear();
    slot.status = encodeDibToJpeg(w.dib, w.encoder, slot.jpeg);
}

} // namespace grelm
