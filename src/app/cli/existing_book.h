#pragma once
// The site book for the commands that use it only where there is one: they
// never make it.

namespace corvanta::sitebook {
class SiteBook;
}

namespace corvanta::cli {

enum class BookState { Open, Missing, Refused };

// Opens the book at its default place. Refused says why on standard error;
// the command then ends with `refusedStatus`.
BookState openExistingBook(sitebook::SiteBook& book, int refusedStatus);

}  // namespace corvanta::cli
