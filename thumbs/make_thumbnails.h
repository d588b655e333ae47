#pragma once

namespace grelm {

struct ConvertSession;

/// With "Create Thumbnails" checked and worker threads in use, lets the
/// screenshot pass reduce each screenshot while it has it loaded, for the
/// width in the thumbnail box, so that MakeThumbnails need not load it again.
/// The box is read only when the game folder has screenshots; a width that
/// is no use leaves all the work to MakeThumbnails.
void planThumbnailsAhead(ConvertSession &session);

/// Writes a thumbnail bitmap of every screenshot of the game folder into its
/// Thumbs folder, reduced to fit a square of the width in the thumbnail box
/// and named like the screenshot in lower case (names that differ only in
/// case keep their own case). Screenshots are reduced ahead on worker threads
/// and written in listing order. Throws on the first failure (a width that is
/// not a whole number above 0, a screenshot that cannot be loaded, a bitmap
/// that cannot be written), with no thumbnail after the failing one written.
void MakeThumbnails(ConvertSession &session);

} // namespace grelm
