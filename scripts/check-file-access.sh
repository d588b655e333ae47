#!/usr/bin/env bash
# Names are bytes, and only core/ turns them into system calls: the program's
# other folders reach files through core/'s functions and FilePath, never
# through Qt's file classes, std::filesystem, a system call on a name, or the
# escape of core/file_names.h. Plain grep over the sources; prints each
# offending line as file:line and exits 1 when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."

folders=(settings games imaging thumbs convert cli app)

# What may stay, each for its reason (file:pattern, matched against "file:line:text").
allowed=(
  # Qt reads the mount table (/proc/self/mountinfo) itself; the drive list
  # takes each mount point from it as text.
  'app/drive_list.(h|cpp):.*QStorageInfo'
)

checks=(
  'the escape of core/file_names.h|\b(encodeFileName|decodeFileName)\b'
  'a Qt file class|\bQ(Dir|FileInfo|SaveFile|DirIterator|TemporaryFile|TemporaryDir|LockFile|StorageInfo)\b'
  'a QFile on a name (a QFile may only wrap a descriptor core/ opened)|\bQFile\b(\s*::\s*\w+|\s+\w+\s*[({]|\s*\()'
  'std::filesystem|std::filesystem|\bnamespace\s+fs\b|\bfs::'
  'a system call on a name|(^|[^_[:alnum:].>:])(::)?(open|openat|opendir|fopen|stat|lstat|statvfs|mkdir|unlink|rename|rmdir|readlink|realpath|mkfifo|symlink|inotify_add_watch)\s*\('
)

found=0
for check in "${checks[@]}"; do
  what="${check%%|*}"
  pattern="${check#*|}"
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    skip=0
    for exception in "${allowed[@]}"; do
      if [[ "$hit" =~ ^${exception} ]]; then skip=1; break; fi
    done
    [ "$skip" -eq 1 ] && continue
    echo "check-file-access: ${hit%%:*}:$(cut -d: -f2 <<<"$hit"): $what outside core/ (use FilePath and core/'s file functions)"
    found=1
  done < <(grep -rnE --include='*.cpp' --include='*.h' "$pattern" "${folders[@]}" | grep -vE '^[^:]+:[0-9]+:\s*(//|#include)')
done
exit "$found"
