// The change report as setupsim prints it: one line per change, values in
// the registry.reg notation, details of a changed file indented.
#include "SimChanges.h"

namespace sim {

namespace {

std::string ValueName(const RegValue& v)
{
  return "[" + (v.name.empty() ? std::string("@") : v.name) + "]";
}

// A profile value; an empty one is named, as a blank would not show.
std::string ProfileValue(const std::string& v)
{
  return v.empty() ? "(empty)" : v;
}

std::string ProfileLine(const ProfileKeyChange& c)
{
  std::string head = "[" + c.section + "] " + c.key + ": ";
  if (!c.oldValue)
    return head + "added " + ProfileValue(*c.newValue);
  if (!c.newValue)
    return head + "removed " + ProfileValue(*c.oldValue);
  return head + ProfileValue(*c.oldValue) + " -> " + ProfileValue(*c.newValue);
}

std::string Attribute(bool bReadOnly)
{
  return bReadOnly ? "read-only" : "normal";
}

void AppendLine(std::string& out, const std::string& line)
{
  out += line + "\n";
}

void AppendChange(std::string& out, const SimChange& c)
{
  switch (c.kind) {
  case ChangeKind::KeyAdded:
  case ChangeKind::KeyRemoved:
    AppendLine(out, (c.kind == ChangeKind::KeyAdded ? "key added " : "key removed ") + c.path);
    for (const auto& v : c.keyValues)
      AppendLine(out, "  " + RegValueLine(v));
    break;
  case ChangeKind::ValueAdded:
    AppendLine(out, "value added " + c.path + " " + ValueName(*c.newValue) + " " +
                        RegDataText(*c.newValue));
    break;
  case ChangeKind::ValueRemoved:
    AppendLine(out, "value removed " + c.path + " " + ValueName(*c.oldValue) + " " +
                        RegDataText(*c.oldValue));
    break;
  case ChangeKind::ValueChanged:
    AppendLine(out, "value changed " + c.path + " " + ValueName(*c.newValue) + " " +
                        RegDataText(*c.oldValue) + " -> " + RegDataText(*c.newValue));
    break;
  case ChangeKind::FolderAdded:
    AppendLine(out, "folder added " + c.path);
    break;
  case ChangeKind::FolderRemoved:
    AppendLine(out, "folder removed " + c.path);
    break;
  case ChangeKind::FileAdded:
    AppendLine(out, "file added " + c.path + " (" + std::to_string(c.newSize) + " bytes" +
                        (c.newReadOnly ? ", read-only)" : ")"));
    break;
  case ChangeKind::FileRemoved:
    AppendLine(out, "file removed " + c.path);
    break;
  case ChangeKind::FileChanged:
    AppendLine(out, "file changed " + c.path);
    for (const auto& k : c.profileKeys)
      AppendLine(out, "  " + ProfileLine(k));
    for (const auto& l : c.lines)
      AppendLine(out, "  " + l);
    if (c.sizesOnly)
      AppendLine(out, "  " + std::to_string(c.oldSize) + " bytes -> " + std::to_string(c.newSize) +
                          " bytes");
    break;
  case ChangeKind::AttributeChanged:
    AppendLine(out, "attribute changed " + c.path + " " + Attribute(c.oldReadOnly) + " -> " +
                        Attribute(c.newReadOnly));
    break;
  case ChangeKind::RenameAtRestart:
    AppendLine(out, "at restart: " + c.path + " -> " + c.target);
    break;
  case ChangeKind::DeleteAtRestart:
    AppendLine(out, "at restart: delete " + c.path);
    break;
  }
}

}  // namespace

std::string FormatChangeReport(const std::vector<SimChange>& changes)
{
  std::string out = "changes:\n";
  if (changes.empty())
    AppendLine(out, "none");
  for (const auto& c : changes)
    AppendChange(out, c);
  return out;
}

}  // namespace sim
