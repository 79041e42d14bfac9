#pragma once
// One change for many modules: some fields and the values to give them,
// laid over each module's own image as it was read. Also the rules an apply
// and an undo judge a module by. Plain functions over images.
//
// The users' codes stand aside in those rules: users change their own codes
// at the keypad, and every write here keeps the codes the module holds
// unless the change itself sets one.

#include <vector>

#include "params/field_catalogue.h"
#include "params/parameter_image.h"

namespace corvanta::fleet {

struct ParameterChange {
    std::vector<const fields::Field*> fields;  // the fields given
    ParameterImage values{};                   // their bits; the other bits mean nothing

    bool empty() const { return fields.empty(); }
};

// `image` with the change's fields set. A field whose value `image` shows
// already keeps its bits, and every bit of no changed field stays as it is.
ParameterImage applied(const ParameterChange& change, const ParameterImage& image);

// The change that makes `from` into `to`: the fields whose values differ.
// Bits no field holds are no field's and stay out of it.
ParameterChange changeBetween(const ParameterImage& from, const ParameterImage& to);

// Equal in every byte but the codes'.
bool sameButCodes(const ParameterImage& a, const ParameterImage& b);

// Whether `module` still holds what a batch wrote over `before`: `written`
// in every byte, but in a code the batch did not change.
bool stillHolds(const ParameterImage& module, const ParameterImage& before, const ParameterImage& written);

// What an undo writes: `before` in every byte the batch changed, and
// elsewhere the module as read (a code a user changed since stays).
ParameterImage undone(const ParameterImage& module, const ParameterImage& before, const ParameterImage& written);

}  // namespace corvanta::fleet
