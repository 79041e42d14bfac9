// Replaced as the block frames are built.
