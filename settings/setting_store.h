#pragma once

#include "core/file_path.h"

#include <QString>

#include <optional>

namespace grelm {

/// The folders that may hold the setting file.
struct SettingPlaces {
    FilePath programFolder; ///< beside the program: first choice, for a program kept in a folder of its own
    FilePath configFolder;  ///< the user's own, for an installed program whose folder is read-only
};

/// The user's folder for this program's settings: $XDG_CONFIG_HOME/grelm-converter,
/// or ~/.config/grelm-converter when that variable is unset or not absolute.
FilePath userConfigFolder();

/// The running program's places: its own folder and the user's config folder.
SettingPlaces programSettingPlaces();

/// Reads and stores the game folder in whichever of its places holds the setting file.
class SettingStore {
public:
    explicit SettingStore(SettingPlaces places) : m_places(std::move(places)) {}

    /// The stored folder, from beside the program when a file of that name is
    /// there, else from the config folder when one is there; nothing when the
    /// file chosen gives none or neither place has one.
    std::optional<FilePath> read();

    /// Stores `folder` in the first place where writing works: the place read
    /// from, then beside the program, then the config folder (made if need be).
    /// Throws FileError giving every place's reason when none works.
    void write(const FilePath &folder);

private:
    bool tryWrite(const FilePath &place, const FilePath &folder, QString &reasons);

    SettingPlaces m_places;
    FilePath m_home; ///< where the file was last read or written; empty before
};

} // namespace grelm
