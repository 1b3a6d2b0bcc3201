<g transform="translate(-7,0)" fill="none" stroke="currentColor" stroke-width="1.5" stroke-linecap="round">
  <path d="M-8,0 L-6,0 L-4.5,-5 L-2.5,5 L-0.5,-3 L1.2,3 L2.8,-1.5 L4,0 L6,0"/>
</g>
<g transform="translate(10,0) rotate(45)">
  <rect x="-1.9" y="-8" width="3.8" height="11.5" rx="0.6" fill="currentColor"/>
  <path d="M-1.9,4.3 L1.9,4.3 L0,8 Z" fill="currentColor"/>
</g>
