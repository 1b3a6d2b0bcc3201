<g transform="translate(-11,0)">
  <path d="M-1.1,-7 L1.1,-7 L1.5,-4.9 L3.1,-4.2 L4.9,-5.5 L6.4,-4 L5.1,-2.2 L5.8,-0.6 L7.9,-0.2 L7.9,2 L5.8,2.4 L5.1,4 L6.4,5.8 L4.9,7.3 L3.1,6 L1.5,6.7 L1.1,8.8 L-1.1,8.8 L-1.5,6.7 L-3.1,6 L-4.9,7.3 L-6.4,5.8 L-5.1,4 L-5.8,2.4 L-7.9,2 L-7.9,-0.2 L-5.8,-0.6 L-5.1,-2.2 L-6.4,-4 L-4.9,-5.5 L-3.1,-4.2 L-1.5,-4.9 Z" transform="translate(0,-0.9)" fill="currentColor"/>
  <circle cx="0" cy="0" r="2.4" fill="url(#pillface)"/>
</g>
<g transform="translate(6,0)" fill="currentColor">
  <rect x="-3.5" y="-5" width="15" height="1.6" rx="0.8"/>
  <rect x="-3.5" y="-0.8" width="15" height="1.6" rx="0.8"/>
  <rect x="-3.5" y="3.4" width="15" height="1.6" rx="0.8"/>
  <circle cx="1" cy="-4.2" r="2.1"/>
  <circle cx="8" cy="0" r="2.1"/>
  <circle cx="3.5" cy="4.2" r="2.1"/>
</g>
