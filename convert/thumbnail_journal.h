#pragma once

#include "core/content_identity.h"
#include "core/held_folder.h"
#include "core/file_stamp.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace grelm {

/// The thumbnail bitmaps the program wrote into a Thumbs folder and has not
/// yet converted, kept in a hidden file there. A bitmap is the program's own
/// only while its bytes are those the journal records for its name: the
/// thumbnail pass converts and deletes those and leaves every other bitmap
/// alone, and leftovers of an interrupted command are still recognised.
/// Read once per command, together with one listing of the folder.
class ThumbnailJournal {
public:
    /// What the journal says of one bitmap: the base its "th_" JPEG is named
    /// after, the time of its screenshot, and its bytes.
    struct Entry {
        FilePath base;
        FileTime time{};
        ContentIdentity content;
    };

    ThumbnailJournal() = default;
    ~ThumbnailJournal();
    ThumbnailJournal(ThumbnailJournal &&other) noexcept;
    ThumbnailJournal &operator=(ThumbnailJournal &&other) noexcept;
    ThumbnailJournal(const ThumbnailJournal &) = delete;
    ThumbnailJournal &operator=(const ThumbnailJournal &) = delete;

    /// Lists `thumbsFolder` once and reads its journal, keeping the records of
    /// bitmaps that are listed. Empty when there is no journal or it cannot be
    /// read; reading stops at the first damaged record. Throws FileError when
    /// the folder exists but cannot be listed.
    static ThumbnailJournal read(const FilePath &thumbsFolder);
    /// Writes and removes the journal file only within `folders` (see
    /// WriteFolders), which must outlive the journal's writing.
    void writeWithin(const WriteFolders *folders) { m_within = folders; }

    const FilePath &folder() const { return m_folder; }
    /// Every name the folder held when the journal was read, folders and
    /// hidden files included.
    const QSet<FilePath> &listed() const { return m_listed; }
    /// Every entry, by bitmap name.
    const QHash<FilePath, Entry> &entries() const { return m_entries; }
    const Entry *find(const FilePath &name) const;
    /// The entry of the bitmap `name` when the file there holds the bytes the
    /// journal records for it (read once and remembered); nothing otherwise.
    const Entry *ownBitmap(const FilePath &name);

    void remove(const FilePath &name);
    bool isEmpty() const { return m_entries.isEmpty(); }

    /// Stores the journal whole, or removes its file when it is empty; throws FileError.
    void save();
    /// Notes a bitmap that is about to take the name `name`: its record is
    /// added to the end of the journal file before the bitmap is renamed, so
    /// that it is known however the command ends. The first call writes the
    /// journal whole first. Throws FileError.
    void append(const FilePath &name, const Entry &entry);

private:
    void writeWhole() const;
    void closeAppending();
    FilePath journalPath() const;

    FilePath m_folder;
    QSet<FilePath> m_listed;
    QHash<FilePath, Entry> m_entries;
    QHash<FilePath, bool> m_checked; // bitmap names whose bytes were compared, and the outcome
    int m_appendFd = -1;
    const WriteFolders *m_within = nullptr;
};

} // namespace grelm
