<rect x="-6.5" y="-8" width="4.6" height="16" rx="1.2" fill="url(#recdot)"/>
<rect x="1.9" y="-8" width="4.6" height="16" rx="1.2" fill="url(#recdot)"/>
