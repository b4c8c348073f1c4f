#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace bp::posix {

// How a replacement ended: written, refused before anything was touched
// (`refusal` says why), or failed with `error` (an errno) and the old file
// left as it was.
struct WriteResult {
    std::string refusal;
    int error = 0;
    bool ok() const { return refusal.empty() && error == 0; }
};

// Replaces `path` with `content` through a temporary file in the same folder
// that is renamed over it, so the old file stays whole until the new one is
// complete. The temporary is unnamed (O_TMPFILE) and linked only for the
// instant before the rename; where the file system has no unnamed files, a
// named one that later writers remove once its writer is gone. A symbolic
// link stays a link (its target is replaced); an existing file keeps its
// mode (and, for root, its owner). With `refuseReadOnly` a file whose
// permissions forbid writing is refused, even for root.
WriteResult replaceFile(const std::string& path, const std::string& content, bool refuseReadOnly);

// Replaces `path` as replaceFile does with what `write` puts into the stream
// it is given, which goes through a buffer straight into the temporary file:
// the content is never held whole. When `write` throws, the temporary is
// removed and the exception passes on; the old file stays as it was.
WriteResult replaceFileStreamed(const std::string& path,
                                const std::function<void(std::ostream&)>& write,
                                bool refuseReadOnly);

} // namespace bp::posix
