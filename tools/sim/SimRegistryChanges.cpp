// Registry changes: two registries compared key by key, and a list of
// changes applied to a registry.
#include "SimChanges.h"

namespace sim {

namespace {

SimChange KeyChange(ChangeKind kind, const RegKey& key)
{
  SimChange c(kind, key.Path());
  c.keyValues = key.values;
  return c;
}

// A key that is only on one side, then each key below it.
void AddTree(ChangeKind kind, const RegKey& key, std::vector<SimChange>* pOut)
{
  pOut->push_back(KeyChange(kind, key));
  for (const auto& s : key.subkeys)
    AddTree(kind, *s, pOut);
}

void CompareKey(const RegKey& a, const RegKey& b, std::vector<SimChange>* pOut)
{
  std::string path = b.Path();
  for (const auto& v : a.values) {
    const RegValue* w = b.FindValue(v.name);
    if (w && SameData(v, *w))
      continue;
    SimChange c(w ? ChangeKind::ValueChanged : ChangeKind::ValueRemoved, path);
    c.oldValue = v;
    if (w)
      c.newValue = *w;
    pOut->push_back(c);
  }
  for (const auto& w : b.values)
    if (!a.FindValue(w.name)) {
      SimChange c(ChangeKind::ValueAdded, path);
      c.newValue = w;
      pOut->push_back(c);
    }
  for (const auto& s : a.subkeys) {
    if (const RegKey* t = b.FindSubKey(s->name))
      CompareKey(*s, *t, pOut);
    else
      AddTree(ChangeKind::KeyRemoved, *s, pOut);
  }
  for (const auto& t : b.subkeys)
    if (!a.FindSubKey(t->name))
      AddTree(ChangeKind::KeyAdded, *t, pOut);
}

}  // namespace

void CompareRegistries(const CSimRegistry& before, const CSimRegistry& after,
                       std::vector<SimChange>* pOut)
{
  // Every hive exists on both sides.
  for (const auto& hive : before.Hives())
    CompareKey(*hive, *after.Hive(hive->name), pOut);
}

void ApplyRegistryChanges(CSimRegistry& registry, const std::vector<SimChange>& changes)
{
  for (const SimChange& c : changes) {
    switch (c.kind) {
    case ChangeKind::KeyRemoved:
      if (RegKey* k = registry.FindPath(c.path))
        if (k->parent != nullptr)
          CSimRegistry::DeleteKey(k);
      break;
    case ChangeKind::KeyAdded:
      if (RegKey* k = registry.CreatePath(c.path))
        for (const auto& v : c.keyValues)
          k->SetValue(v);
      break;
    case ChangeKind::ValueAdded:
    case ChangeKind::ValueChanged:
      if (RegKey* k = registry.CreatePath(c.path))
        k->SetValue(*c.newValue);
      break;
    case ChangeKind::ValueRemoved:
      if (RegKey* k = registry.FindPath(c.path))
        k->DeleteValue(c.oldValue->name);
      break;
    default:
      break;
    }
  }
}

}  // namespace sim
