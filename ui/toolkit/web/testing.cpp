// Test input for the browser backend: to come.
