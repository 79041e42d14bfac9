// Replaced as the service conversations are built.
