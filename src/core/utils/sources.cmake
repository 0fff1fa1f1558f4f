# Formatting and localization
