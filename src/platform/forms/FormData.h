#pragma once
// Form data: a component with the components it owns and their published
// properties, in the class library's binary form format. After the
// signature "TPF0" each component is its class name and its name (short
// strings), its properties as name and typed value up to a zero byte, then
// the components it owns, up to a zero byte. Strings, integers, Booleans
// and binary data are stored: the forms of this program are built in code,
// and form data carries what a control holds beyond that, such as the
// object of an embedded-object container. Fonts, string lists,
// collections and references to other components are not stored.

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "platform/forms/Component.h"

namespace forms {

// Form data that does not fit the components it is read onto, or is no
// form data at all.
class EFormDataError : public EStreamError { using EStreamError::EStreamError; };

void WriteComponentData(TStream& stream, TComponent& root);

// Reads form data onto Root and the components it owns, each found by its
// name; they are marked loading until everything is read and then told
// Loaded. Raises EFormDataError ("Invalid stream format", or naming the
// component or property at fault); what was read before the fault stays set.
void ReadComponentData(TStream& stream, TComponent& root);

}  // namespace forms
