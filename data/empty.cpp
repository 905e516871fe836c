// k1data before any data is embedded.
