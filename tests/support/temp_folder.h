#pragma once

#include "core/file_path.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace grelm::test {

/// A fresh temporary folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() { m_dir.setAutoRemove(true); }
    /// Removes the folder by its bytes, names that are not UTF-8 included
    /// (which QTemporaryDir cannot); links inside are removed, never followed.
    ~TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    /// The folder's path, and that of `name` inside it, as program functions take them.
    FilePath filePath() const { return FilePath::fromEscapedText(path()); }
    FilePath filePath(const QString &name) const { return FilePath::fromEscapedText(file(name)); }
    /// Writes `bytes` to `name` inside the folder (folders on the way are made).
    QString write(const QString &name, const QByteArray &bytes) const;
    /// The same, giving the path as program functions take it.
    FilePath written(const QString &name, const QByteArray &bytes) const { return FilePath::fromEscapedText(write(name, bytes)); }
    /// The bytes of `name` inside the folder; empty when it does not exist.
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;
    /// Writes a file, or makes a folder, whose name inside the folder is the
    /// raw bytes `name` (need not be UTF-8), with ::open or ::mkdir, as the
    /// file system allows; returns its path.
    FilePath writeRaw(const QByteArray &name, const QByteArray &bytes) const;
    FilePath mkdirRaw(const QByteArray &name) const;
    /// Whether an entry of the raw name `name` exists, and its bytes.
    bool existsRaw(const QByteArray &name) const;
    QByteArray readRaw(const QByteArray &name) const;
    /// Gives `name` inside the folder the modification time `seconds` since 1970 and `nanoseconds`.
    void setModified(const QString &name, long long seconds, long nanoseconds = 0) const;

private:
    QTemporaryDir m_dir;
};

} // namespace grelm::test
