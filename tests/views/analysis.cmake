# The views of a scan result
