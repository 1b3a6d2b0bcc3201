<rect x="-7" y="-6" width="2.4" height="12" rx="0.8" fill="currentColor"/>
<path d="M-4.2,0 L6.5,-6.2 L6.5,6.2 Z" fill="currentColor" stroke="currentColor" stroke-width="1" stroke-linejoin="round"/>
