#include <windows.h>
#include <stdio.h>
int main(){
  for(DWORD c=0;c<16000;c++){
    char buf[512]; DWORD n=FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM|FORMAT_MESSAGE_IGNORE_INSERTS,0,c,0,buf,511,0);
    if(!n) continue;
    printf("    {%lu, \"", c);
    for(DWORD j=0;j<n;j++){unsigned char ch=buf[j]; if(ch=='"'||ch=='\\') printf("\\%c",ch); else if(ch<32||ch>126) printf("\\x%02x\"\"",ch); else putchar(ch);}
    printf("\"},\n");
  }
  return 0;}
