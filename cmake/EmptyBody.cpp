// Stands in for a body of code that has no source file yet.
