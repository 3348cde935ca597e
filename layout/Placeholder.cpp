// Keeps the folder library non-empty until its first unit lands.
