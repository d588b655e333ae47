#pragma once

#include "core/file_stamp.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace grelm {

/// The thumbnail bitmaps the program wrote into a Thumbs folder and has not
/// yet converted, kept in a hidden file there. Only bitmaps it names, with
/// the modification time they were written with, are the program's own: the
/// thumbnail pass converts and deletes those and leaves every other bitmap
/// alone, and leftovers of an interrupted command are still recognised.
class ThumbnailJournal {
public:
    /// What the journal says of one bitmap: the base its "th_" JPEG is named
    /// after and the time the bitmap was written with (its screenshot's).
    struct Entry {
        QString base;
        FileTime time{};
    };

    /// The journal of `thumbsFolder`; empty when there is none or it cannot be read.
    static ThumbnailJournal read(const QString &thumbsFolder);

    /// The entry of the bitmap `name` when the file there is still the one the
    /// program wrote (same modification time); nothing otherwise.
    const Entry *ownBitmap(const QString &name) const;

    /// Forgets every entry whose bitmap is gone or no longer the program's.
    void dropVanished();
    /// Every entry, by bitmap name.
    const QHash<QString, Entry> &entries() const { return m_entries; }

    void add(const QString &name, const Entry &entry) { m_entries.insert(name, entry); }
    void remove(const QString &name) { m_entries.remove(name); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    /// Stores the journal whole, or removes its file when it is empty; throws FileError.
    void save() const;

private:
    QString m_folder;
    QHash<QString, Entry> m_entries;
};

} // namespace grelm
