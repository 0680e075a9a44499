#include "platform/forms/FormData.h"


#include <algorithm>
#include <cstdint>

#include "base/Object.h"
#include "base/Strings.h"

namespace forms {

namespace {

// The value types of the format that this program writes or reads.
enum TValueType : uint8_t {
  vaNull = 0,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaString = 6,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaLString = 12,
  vaUTF8String = 20,
};

constexpr char kSignature[] = {'T', 'P', 'F', '0'};
// The prefix byte of a component with flags; flag 2: its position among
// its siblings follows as an integer.
constexpr uint8_t kPrefix = 0xF0, kChildPosition = 2;

// The class's own name, without namespaces: "TOleContainer", "TForm".
std::string ShortClassName(const TComponent& component) {
  const std::string full = ClassNameOf(component);
  const size_t colon = full.rfind("::");
  return colon == std::string::npos ? full : full.substr(colon + 2);
}

void WriteShortString(TStream& stream, const std::string& value) {
  const size_t n = std::min<size_t>(value.size(), 255);
  stream.WriteU8(uint8_t(n));
  stream.WriteBuffer(value.data(), int64_t(n));
}

void WriteString(TStream& stream, const std::string& value) {
  const bool ascii = std::all_of(value.begin(), value.end(), [](char c) { return uint8_t(c) < 0x80; });
  if (ascii && value.size() <= 255) {
    stream.WriteU8(vaString);
    WriteShortString(stream, value);
    return;
  }
  stream.WriteU8(ascii ? vaLString : vaUTF8String);
  stream.WriteU32(uint32_t(value.size()));
  stream.WriteString(value);
}

void WriteInteger(TStream& stream, int value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    stream.WriteU8(vaInt8);
    stream.WriteU8(uint8_t(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    stream.WriteU8(vaInt16);
    stream.WriteI16(int16_t(value));
  } else {
    stream.WriteU8(vaInt32);
    stream.WriteI32(value);
  }
}

// One property as its name and value; the component's name is written in
// its header instead.
void WriteProperty(TStream& stream, const TPropInfo& p) {
  if (SameText(p.Name, "Name")) return;
  switch (p.Kind) {
    case TPropKind::pkString:
    case TPropKind::pkInteger:
    case TPropKind::pkBoolean: {
      if (!p.Set) return;  // what cannot be read back is not written
      WriteShortString(stream, p.Name);
      const TPropValue value = p.Get();
      if (p.Kind == TPropKind::pkString)
        WriteString(stream, std::get<std::string>(value));
      else if (p.Kind == TPropKind::pkInteger)
        WriteInteger(stream, std::get<int>(value));
      else
        stream.WriteU8(std::get<bool>(value) ? vaTrue : vaFalse);
      return;
    }
    case TPropKind::pkBinary: {
      if (!p.HasData || !p.HasData()) return;
      TMemoryStream data;
      p.WriteData(data);
      WriteShortString(stream, p.Name);
      stream.WriteU8(vaBinary);
      stream.WriteU32(uint32_t(data.GetSize()));
      stream.WriteBytes(data.Bytes());
      return;
    }
    default: return;
  }
}

void WriteComponent(TStream& stream, TComponent& component) {
  WriteShortString(stream, ShortClassName(component));
  WriteShortString(stream, component.Name());
  const TPropertyList props = component.Properties();
  for (const TPropInfo& p : props.Items()) WriteProperty(stream, p);
  stream.WriteU8(vaNull);
  for (int i = 0; i < component.ComponentCount(); ++i) WriteComponent(stream, *component.Components(i));
  stream.WriteU8(vaNull);
}

class TFormReader {
public:
  explicit TFormReader(TStream& stream) : FStream(stream) {}

  // A component's header, First being its first byte: its name.
  std::string ReadHeader(uint8_t First) {
    if ((First & kPrefix) == kPrefix) {
      if (First & kChildPosition) ReadInteger(FStream.ReadU8());
      First = FStream.ReadU8();
    }
    FStream.ReadString(First);  // the class: components are found by name
    return ReadShortString();
  }

  // Its properties, then the components it owns. Path names it for errors:
  // the root by its name, the others by theirs from the root's on.
  void ReadBody(TComponent& component, const std::string& path, bool root) {
    const TPropertyList props = component.Properties();
    for (uint8_t n = FStream.ReadU8(); n != vaNull; n = FStream.ReadU8())
      ReadProperty(props, path, FStream.ReadString(n));
    for (uint8_t first = FStream.ReadU8(); first != vaNull; first = FStream.ReadU8()) {
      const std::string name = ReadHeader(first);
      TComponent* child = component.FindComponent(name);
      if (!child) throw EFormDataError("Component " + name + " not found" + (root ? "" : " in " + path));
      ReadBody(*child, root ? name : path + "." + name, false);
    }
  }

private:
  std::string ReadShortString() { return FStream.ReadString(FStream.ReadU8()); }

  int ReadInteger(uint8_t Type) {
    switch (Type) {
      case vaInt8: return FStream.ReadI8();
      case vaInt16: return FStream.ReadI16();
      case vaInt32: return FStream.ReadI32();
      default: throw EFormDataError("Invalid stream format");
    }
  }

  void ReadProperty(const TPropertyList& props, const std::string& path, const std::string& name) {
    const std::string where = "Error reading " + path + "." + name + ": ";
    const TPropInfo* p = props.Find(name);
    if (!p) throw EFormDataError(where + "Property " + name + " does not exist");
    const uint8_t type = FStream.ReadU8();
    TPropValue value;
    if (p->Kind == TPropKind::pkBinary) {
      if (type != vaBinary) throw EFormDataError(where + "Invalid property value");
      const uint32_t size = FStream.ReadU32();
      if (size > FStream.Remaining()) throw EFormDataError("Invalid stream format");
      TMemoryStream data(FStream.ReadBytes(size));
      Apply(where, [&] { p->ReadData(data); });
      return;
    }
    if (p->Kind == TPropKind::pkString && (type == vaString || type == vaLString || type == vaUTF8String))
      value = FStream.ReadString(type == vaString ? FStream.ReadU8() : FStream.ReadU32());
    else if (p->Kind == TPropKind::pkInteger && type >= vaInt8 && type <= vaInt32)
      value = ReadInteger(type);
    else if (p->Kind == TPropKind::pkBoolean && (type == vaFalse || type == vaTrue))
      value = type == vaTrue;
    else
      throw EFormDataError(where + "Invalid property value");
    if (!p->Set) throw EFormDataError(where + "Property " + name + " is read-only");
    Apply(where, [&] { p->Set(value); });
  }

  // A setter's own error names the property it came from.
  template <class F>
  static void Apply(const std::string& where, F set) {
    try {
      set();
    } catch (const Exception& e) {
      throw EFormDataError(where + e.Message());
    }
  }

  TStream& FStream;
};

}  // namespace

void WriteComponentData(TStream& stream, TComponent& root) {
  stream.WriteBuffer(kSignature, sizeof kSignature);
  WriteComponent(stream, root);
}

void ReadComponentData(TStream& stream, TComponent& root) {
  char signature[sizeof kSignature];
  if (stream.Remaining() < int64_t(sizeof signature)) throw EFormDataError("Invalid stream format");
  stream.ReadBuffer(signature, sizeof signature);
  if (!std::equal(signature, signature + sizeof signature, kSignature)) throw EFormDataError("Invalid stream format");
  TFormReader reader(stream);
  root.BeginLoading();
  try {
    const std::string name = reader.ReadHeader(stream.ReadU8());
    reader.ReadBody(root, root.Name().empty() ? name : root.Name(), true);
  } catch (const EReadError&) {
    // Data that ends before its components do is damaged form data.
    root.Loaded();
    throw EFormDataError("Invalid stream format");
  } catch (...) {
    root.Loaded();
    throw;
  }
  root.Loaded();
}

}  // namespace forms
