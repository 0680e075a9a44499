#include "ui/PropertyPath.h"

#include "ui/IntegerText.h"

namespace {

struct TSegment {
  std::string Name;
  bool HasIndex = false;
  int Index = -1;  // -1 for index text that is no number
};

TSegment ParseSegment(const std::string& text) {
  TSegment segment;
  size_t bracket = text.find('[');
  segment.Name = text.substr(0, bracket);
  if (bracket != std::string::npos) {
    segment.HasIndex = true;
    if (text.back() == ']') segment.Index = StrToIntDefault(text.substr(bracket + 1, text.size() - bracket - 2), -1);
  }
  return segment;
}

}  // namespace

TPropertyTarget ResolvePath(TPublishedForm& form, const std::string& path) {
  TPublishedObject* current = &form;
  size_t start = 0;
  for (;;) {
    size_t dot = path.find('.', start);
    bool last = dot == std::string::npos;
    TSegment segment = ParseSegment(path.substr(start, last ? std::string::npos : dot - start));
    if (segment.Name.empty()) return {};

    TPublishedObject* next = nullptr;
    TPropertyKind kind = current->PropertyKind(segment.Name);
    switch (kind) {
      case TPropertyKind::pkString:
      case TPropertyKind::pkStrings:
      case TPropertyKind::pkFont:
        return {current, segment.Name, kind};
      case TPropertyKind::pkCollection: {
        TPublishedCollection* collection = current->GetCollectionProp(segment.Name);
        // An index at or beyond the count would address an item that does not exist.
        if (!collection || !segment.HasIndex || segment.Index < 0 || segment.Index >= collection->Count()) return {};
        next = collection->Items(segment.Index);
        break;
      }
      case TPropertyKind::pkComponent:
        next = current->GetComponentProp(segment.Name);
        break;
      case TPropertyKind::pkNone:
        if (current == &form) next = form.FindComponent(segment.Name);
        break;
      default:
        break;
    }
    if (!next || last) return {};
    current = next;
    start = dot + 1;
  }
}
