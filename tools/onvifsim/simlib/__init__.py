"""The pieces of the ONVIF camera emulator (tools/onvifsim)."""
