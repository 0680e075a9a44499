#pragma once
// Documents declared in an 8-bit encoding that the XML parser does not know
// itself (windows-1252, ISO-8859-2, KOI8-R ...) are decoded through iconv.

// Fills Map with the code point of every byte in the named encoding (-1 for a
// byte that is not a character of its own); false when the encoding is
// unknown or not a single-byte one.
bool SingleByteEncodingMap(const char* name, int (&map)[256]);
