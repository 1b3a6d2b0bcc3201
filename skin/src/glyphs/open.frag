<path d="M-7,-4.5 L-2.5,-4.5 L-1,-3 L5.5,-3 L5.5,4.5 L-7,4.5 Z" fill="currentColor" opacity="0.55"/>
<path d="M-7,4.5 L-4.6,-1.2 L8,-1.2 L5.5,4.5 Z" fill="currentColor"/>
