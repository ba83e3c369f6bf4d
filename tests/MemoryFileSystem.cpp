#include "MemoryFileSystem.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "TestFileSystem.h"

namespace lexiphon::testing {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsWildcard(wchar_t c) { return c == L'*' || c == L'?'; }

bool HasWildcard(const std::wstring& name) {
  return std::any_of(name.begin(), name.end(), IsWildcard);
}

// Characters that Win32 rejects in a name, or that the file system takes
// for its own wildcards.
bool IsForbidden(wchar_t c) {
  return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|';
}

bool SameChar(wchar_t a, wchar_t b) { return FoldCase(a) == FoldCase(b); }

std::wstring FoldName(const std::wstring& name) {
  std::wstring folded = name;
  for (wchar_t& c : folded) c = FoldCase(c);
  return folded;
}


// "*" and "?" as Windows applies them to long names. Once the name is used
// up, what is left of the pattern may only be dots and stars: that is how
// "*.*" takes "README" and "name.*" takes "name".
bool Matches(const std::wstring& pattern, const std::wstring& name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::wstring::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = ++p;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == L'?' || SameChar(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::wstring::npos) {
      p = starP;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == L'*' || pattern[p] == L'.')) ++p;
  return p == pattern.size();
}

}  // namespace

struct MemoryFileSystem::Node {
  std::wstring name;
  bool folder = false;
  unsigned attributes = 0;
  bool locked = false;
  Node* link = nullptr;  // what a link points at; the tests never remove it
  std::string contents;
  std::vector<std::unique_ptr<Node>> children;  // in order of creation
  std::map<std::wstring, Node*> byName;          // by folded name, for large folders

  Node* Child(const std::wstring& wanted) const {
    const auto found = byName.find(FoldName(wanted));
    return found == byName.end() ? nullptr : found->second;
  }

  Node* Add(const std::wstring& childName, bool isFolder) {
    children.push_back(std::make_unique<Node>());
    Node* child = children.back().get();
    child->name = childName;
    child->folder = isFolder;
    byName[FoldName(childName)] = child;
    return child;
  }

  void Remove(const Node* child) {
    byName.erase(FoldName(child->name));
    children.erase(std::find_if(children.begin(), children.end(),
                                [child](const auto& owned) { return owned.get() == child; }));
  }

  bool Deletable() const { return !folder && !locked && !(attributes & kReadOnly); }
};

// A path resolved as Win32 resolves it before the file system sees it.
struct MemoryFileSystem::Path {
  bool valid = false;
  bool trailingSeparator = false;
  std::vector<std::wstring> parts;  // parts[0] is the drive, "C:"

  explicit Path(const std::wstring& text) {
    if (text.size() < 3 || FoldCase(text[0]) < L'A' || FoldCase(text[0]) > L'Z' || text[1] != L':' ||
        !IsSeparator(text[2])) {
      return;
    }
    parts.push_back({FoldCase(text[0]), L':'});
    std::wstring part;
    for (std::size_t i = 3; i <= text.size(); ++i) {
      if (i < text.size() && !IsSeparator(text[i])) {
        part += text[i];
        continue;
      }
      if (part == L"..") {
        if (parts.size() > 1) parts.pop_back();
      } else if (!part.empty() && part != L".") {
        parts.push_back(part);
      }
      part.clear();
    }
    trailingSeparator = IsSeparator(text.back());
    for (std::size_t i = 1; i < parts.size(); ++i) {
      for (wchar_t c : parts[i]) {
        if (IsForbidden(c) || (IsWildcard(c) && i + 1 < parts.size())) return;
      }
    }
    valid = true;
  }

  // Below a drive's root, without a separator at the end.
  bool NamesEntry() const { return valid && !trailingSeparator && parts.size() >= 2; }
  // Below a drive's root; a separator at the end is fine for folders.
  bool NamesFolder() const { return valid && parts.size() >= 2 && !HasWildcard(Last()); }
  const std::wstring& Last() const { return parts.back(); }
  std::size_t ParentDepth() const { return parts.size() - 1; }
};

MemoryFileSystem::MemoryFileSystem() : root_(std::make_unique<Node>()) { root_->folder = true; }

MemoryFileSystem::~MemoryFileSystem() = default;

bool MemoryFileSystem::Begin(Operation operation) {
  const auto index = static_cast<std::size_t>(operation);
  ++calls_[index];
  if (failAt_[index] == 0 || ++sinceArmed_[index] < failAt_[index]) return true;
  failAt_[index] = 0;
  return false;
}

void MemoryFileSystem::FailNth(Operation operation, std::size_t n) {
  const auto index = static_cast<std::size_t>(operation);
  failAt_[index] = n;
  sinceArmed_[index] = 0;
}

std::size_t MemoryFileSystem::Calls(Operation operation) const {
  return calls_[static_cast<std::size_t>(operation)];
}

// The node `depth` parts down the path; every part above it a folder.
// Links are followed, as Windows follows them, except the last one when
// the caller asks about the name itself.
MemoryFileSystem::Node* MemoryFileSystem::Find(const Path& path, std::size_t depth,
                                               bool followLast) const {
  Node* node = root_.get();
  for (std::size_t i = 0; i < depth && node; ++i) {
    node = node->folder ? node->Child(path.parts[i]) : nullptr;
    if (node && node->link && (followLast || i + 1 < depth)) node = node->link;
  }
  return node;
}

MemoryFileSystem::Node* MemoryFileSystem::FindEntry(const Path& path) const {
  return path.valid ? Find(path, path.parts.size()) : nullptr;
}

bool MemoryFileSystem::List(const std::wstring& path, ListAttributes attributes,
                            const std::function<bool(const std::wstring& name)>& onName) {
  if (!Begin(Operation::List)) return false;
  const Path parsed(path);
  if (!parsed.NamesEntry()) return false;
  const Node* folder = Find(parsed, parsed.ParentDepth());
  if (!folder || !folder->folder) return false;
  // Names first: the callback may change this very folder.
  std::vector<std::wstring> names;
  for (const auto& child : folder->children) {
    const bool listed = !(child->attributes & (kHidden | kSystem)) &&
                        (!child->folder || attributes == ListAttributes::Directory);
    if (listed && Matches(parsed.Last(), child->name)) names.push_back(child->name);
  }
  for (const std::wstring& name : names) {
    if (!onName(name)) return true;
  }
  return true;
}

bool MemoryFileSystem::IsLink(const std::wstring& path) {
  const Path parsed(path);
  const Node* entry = parsed.valid ? Find(parsed, parsed.parts.size(), false) : nullptr;
  return entry && entry->link;
}

bool MemoryFileSystem::CreateFolder(const std::wstring& path) {
  if (!Begin(Operation::Create)) return false;
  const Path parsed(path);
  if (!parsed.NamesFolder()) return false;
  Node* parent = Find(parsed, parsed.ParentDepth());
  if (!parent || !parent->folder || parent->Child(parsed.Last())) return false;
  parent->Add(parsed.Last(), true);
  return true;
}

bool MemoryFileSystem::CopyFileOver(const std::wstring& from, const std::wstring& to) {
  if (!Begin(Operation::Copy)) return false;
  const Path source(from);
  const Path target(to);
  if (!source.NamesEntry() || !target.NamesEntry() || HasWildcard(source.Last()) ||
      HasWildcard(target.Last())) {
    return false;
  }
  const Node* file = FindEntry(source);
  if (!file || file->folder || file->locked) return false;
  Node* parent = Find(target, target.ParentDepth());
  if (!parent || !parent->folder) return false;
  Node* copy = parent->Child(target.Last());
  if (copy) {
    // The same file: Windows' copy finds it held open by itself.
    if (copy == file || !copy->Deletable()) return false;
    if (!stagingParent_.empty() && !stagingParentNode_) {
      stagingParentNode_ = FindEntry(Path(stagingParent_));
      if (!stagingParentNode_ || !stagingParentNode_->folder || stagingParentNode_->Child(L"lx.tmp")) return false;
      stagingParentNode_->Add(L"lx.tmp", true);
    }
  } else {
    copy = parent->Add(target.Last(), false);
  }
  // A link in the way is replaced as a name; what it pointed at stays.
  copy->link = nullptr;
  copy->contents = file->contents;
  copy->attributes = file->attributes & ~(kReadOnly | kHidden | kSystem);
  return true;
}

void MemoryFileSystem::BeginCopies(const std::wstring& stagingParent) {
  EndCopies();
  stagingParent_ = stagingParent;
}

void MemoryFileSystem::EndCopies() {
  const Node* folder = stagingParentNode_ ? stagingParentNode_->Child(L"lx.tmp") : nullptr;
  if (folder && folder->children.empty()) stagingParentNode_->Remove(folder);
  stagingParent_.clear();
  stagingParentNode_ = nullptr;
}

bool MemoryFileSystem::DeleteFiles(const std::wstring& path) {
  if (!Begin(Operation::Delete)) return false;
  const Path parsed(path);
  if (!parsed.NamesEntry()) return false;
  Node* folder = Find(parsed, parsed.ParentDepth());
  if (!folder || !folder->folder) return false;
  if (!HasWildcard(parsed.Last())) {
    const Node* file = folder->Child(parsed.Last());
    if (!file || !file->Deletable()) return false;
    folder->Remove(file);
    return true;
  }
  bool matched = false;
  bool failed = false;
  std::vector<const Node*> doomed;
  for (const auto& child : folder->children) {
    if (child->folder || !Matches(parsed.Last(), child->name)) continue;
    matched = true;
    if (child->Deletable()) {
      doomed.push_back(child.get());
    } else {
      failed = true;
    }
  }
  for (const Node* file : doomed) folder->Remove(file);
  return matched && !failed;
}

bool MemoryFileSystem::RemoveFolder(const std::wstring& path) {
  if (!Begin(Operation::Remove)) return false;
  const Path parsed(path);
  if (!parsed.NamesFolder()) return false;
  Node* parent = Find(parsed, parsed.ParentDepth());
  if (!parent || !parent->folder) return false;
  const Node* folder = parent->Child(parsed.Last());
  if (!folder || !folder->folder || !folder->children.empty() ||
      (folder->attributes & kReadOnly)) {
    return false;
  }
  parent->Remove(folder);
  return true;
}

std::wstring MemoryFileSystem::FullPath(const std::wstring& path) {
  if (path.size() < 3 || path[1] != L':' || !IsSeparator(path[2])) return path;
  std::vector<std::wstring> parts;
  std::wstring part;
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) {
      part += path[i];
      continue;
    }
    // The last part loses its trailing spaces and dots, any other part one
    // trailing dot.
    const bool relative = part == L"." || part == L"..";
    if (i == path.size()) {
      while (!relative && !part.empty() && (part.back() == L' ' || part.back() == L'.'))
        part.pop_back();
    } else if (!relative && !part.empty() && part.back() == L'.') {
      part.pop_back();
    }
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::wstring full = path.substr(0, 2) + L"\\";
  for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? L"\\" : L"") + parts[i];
  if (IsSeparator(path.back()) && !parts.empty()) full += L"\\";
  return full;
}

std::wstring MemoryFileSystem::FolderIdentity(const std::wstring& path) {
  const Path parsed(path);
  if (!parsed.valid || HasWildcard(parsed.Last())) return std::wstring();
  const Node* node = FindEntry(parsed);
  if (!node || !node->folder) return std::wstring();
  std::wstring identity;
  for (const std::wstring& part : parsed.parts) identity += FoldName(part) + L"\\";
  return identity;
}

MemoryFileSystem::Node* MemoryFileSystem::MakeFolders(const Path& path, std::size_t depth) {
  if (!path.valid || std::any_of(path.parts.begin(), path.parts.end(), HasWildcard)) {
    throw std::invalid_argument("malformed path");
  }
  Node* node = root_.get();
  for (std::size_t i = 0; i < depth; ++i) {
    Node* next = node->Child(path.parts[i]);
    if (!next) {
      next = node->Add(path.parts[i], true);
    } else if (!next->folder) {
      throw std::invalid_argument("a file stands where a folder must be: " +
                                  Narrow(next->name));
    }
    node = next;
  }
  return node;
}

void MemoryFileSystem::AddFolder(const std::wstring& path) {
  const Path parsed(path);
  MakeFolders(parsed, parsed.parts.size());
}

void MemoryFileSystem::AddFile(const std::wstring& path, const std::string& contents,
                               unsigned attributes) {
  const Path parsed(path);
  if (!parsed.NamesEntry()) throw std::invalid_argument("not a file path: " + Narrow(path));
  Node* parent = MakeFolders(parsed, parsed.ParentDepth());
  Node* file = parent->Child(parsed.Last());
  if (file && file->folder) throw std::invalid_argument("a folder: " + Narrow(path));
  if (!file) file = parent->Add(parsed.Last(), false);
  file->contents = contents;
  file->attributes = attributes;
  file->locked = false;
}

void MemoryFileSystem::AddLink(const std::wstring& path, const std::wstring& target) {
  Node* pointee = FindEntry(Path(target));
  if (!pointee) throw std::invalid_argument("a link needs an existing target");
  const Path parsed(path);
  Node* parent = MakeFolders(parsed, parsed.ParentDepth());
  if (parent->Child(parsed.Last())) throw std::invalid_argument("the link's name is taken");
  Node* link = parent->Add(parsed.Last(), pointee->folder);
  link->link = pointee;
}

void MemoryFileSystem::SetAttributes(const std::wstring& path, unsigned attributes) {
  Node* node = FindEntry(Path(path));
  if (!node) throw std::out_of_range("missing: " + Narrow(path));
  node->attributes = attributes;
}

void MemoryFileSystem::SetLocked(const std::wstring& path, bool locked) {
  Node* node = FindEntry(Path(path));
  if (!node || node->folder) throw std::out_of_range("not a file: " + Narrow(path));
  node->locked = locked;
}

bool MemoryFileSystem::Exists(const std::wstring& path) const {
  return FindEntry(Path(path)) != nullptr;
}

bool MemoryFileSystem::IsFolder(const std::wstring& path) const {
  const Node* node = FindEntry(Path(path));
  return node && node->folder;
}

bool MemoryFileSystem::IsFile(const std::wstring& path) const {
  const Node* node = FindEntry(Path(path));
  return node && !node->folder;
}

unsigned MemoryFileSystem::Attributes(const std::wstring& path) const {
  const Node* node = FindEntry(Path(path));
  if (!node) throw std::out_of_range("missing: " + Narrow(path));
  return node->attributes;
}

std::string MemoryFileSystem::Contents(const std::wstring& path) const {
  const Node* node = FindEntry(Path(path));
  if (!node || node->folder) throw std::out_of_range("not a file: " + Narrow(path));
  return node->contents;
}

std::vector<std::wstring> MemoryFileSystem::Tree(const std::wstring& folder) const {
  const Node* top = folder.empty() ? root_.get() : FindEntry(Path(folder));
  if (!top || !top->folder) throw std::out_of_range("not a folder: " + Narrow(folder));
  std::vector<std::wstring> entries;
  const std::function<void(const Node&, const std::wstring&)> walk =
      [&](const Node& node, const std::wstring& prefix) {
        for (const auto& child : node.children) {
          const std::wstring path = prefix + child->name + (child->folder ? L"\\" : L"");
          entries.push_back(path);
          if (child->folder) walk(*child, path);
        }
      };
  walk(*top, std::wstring());
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace lexiphon::testing
