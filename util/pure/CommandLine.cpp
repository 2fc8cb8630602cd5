// Placeholder until the command-line resolution lands.
