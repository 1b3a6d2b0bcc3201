<rect x="-4" y="2" width="8" height="2" rx="1" fill="currentColor"/>
