#pragma once

#include "core/messages.h"
#include "imaging/convert_pass_files.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace grelm {

struct ConvertSession;
class cDIBSection;

/// One file of a pass, loaded and encoded but not yet written: what the load
/// reported, the JPEG's bytes or the writer's failure status, and the
/// source's modification time. Reused from file to file.
struct PreparedJpeg {
    std::vector<Message> messages;
    QByteArray jpeg;
    std::int32_t status = 0;
    std::optional<FileTime> sourceTime;
};

/// Loads and encodes the files of one pass, each worker thread with its own
/// pixel buffer and encoder kept from file to file; in the sequential mode
/// the window's own buffer does the work and reports straight to the window.
class JpegJobs {
public:
    explicit JpegJobs(ConvertSession &session);
    ~JpegJobs();

    int workerCount() const; ///< 0 in the sequential mode
    std::size_t lookAhead() const;

    /// Loads `source` and encodes it into `slot`; safe on worker `worker`'s thread.
    void prepare(const QString &source, int worker, PreparedJpeg &slot);

private:
    struct Worker;
    ConvertSession &m_session;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::unique_ptr<Worker> m_inline;
};

} // namespace grelm
