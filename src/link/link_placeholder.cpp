// Replaced as the link is built.
