"""One small driver for each browser engine the tests use; see pagedriver."""
