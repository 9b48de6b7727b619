// The program's entry until the application object takes over: shows the product's name.
#include "framework/String.h"
#include "res/resource.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    CString strProduct;
    strProduct.LoadString(IDS_PRODUCT_NAME);
    MessageBoxW(nullptr, strProduct, strProduct, MB_OK);
    return 0;
}
