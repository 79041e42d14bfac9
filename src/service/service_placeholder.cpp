// Replaced as the service decoders are built.
