// The text form of a base: a lossless JSON document of every object, field,
// reference and list order of the open base (docs/TEXTFORM.md), written and
// read through the Base library's C interface.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace textbase {

// Bad input: the message names the file, the array, the index and the key
// at fault ("a.json: formulas[3].group: no group named \"Механика\"").
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The open base cannot be written as text without loss; the message names
// the object.
class ExportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Document {
    std::string name;  // for messages: usually the file name
    std::string text;  // UTF-8 JSON
};

// Where an imported object came from.
struct Origin {
    std::string file;
    size_t index = 0;
};
// Per kind (index kind - 1), one entry per imported object in list order.
using Origins = std::array<std::vector<Origin>, 10>;

// The open base as one JSON document, one object per line.
std::string export_base();

// Reads the documents into the open base as one: each kind's lists follow
// file order, and references resolve across all documents and against the
// objects already in the base.  All or nothing: on InputError the base is
// as it was.  `origins`, when given, receives where each new object came from.
void import_documents(std::span<const Document> documents, Origins *origins = nullptr);

}  // namespace textbase
