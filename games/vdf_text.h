#pragma once

#include <QByteArray>

#include <vector>

namespace grelm {

/// One entry of a Valve KeyValues text file (such as Steam's libraryfolders.vdf):
/// a key with either a text value or a block of entries.
struct VdfEntry {
    QByteArray key;
    QByteArray value;               ///< the text value; empty for a block
    std::vector<VdfEntry> children; ///< the block's entries
    bool isBlock = false;
};

/// Blocks nested deeper than this are not read: a hostile file cannot exhaust the stack.
inline constexpr int kVdfMaxDepth = 32;

/// Reads KeyValues text: quoted or bare keys and values, nested `{ }` blocks,
/// `//` comments, `\\` `\"` `\n` `\t` escapes inside quotes, `[$PLATFORM]`
/// conditions (ignored), any white space. Damaged text gives the entries read
/// before the damage, blocks cut short included.
std::vector<VdfEntry> readVdf(const QByteArray &text);

} // namespace grelm
