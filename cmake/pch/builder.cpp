// The one file of a target that only builds a precompiled header for others.
