<rect x="-5.5" y="-6.5" width="4" height="13" rx="1" fill="currentColor"/>
<rect x="1.5" y="-6.5" width="4" height="13" rx="1" fill="currentColor"/>
