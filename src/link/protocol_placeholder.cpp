// Replaced as the line protocol is built.
