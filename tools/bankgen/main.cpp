// bankgen: authors the thirteen factory bank images.
//   bankgen --out DIR   writes DIR/<ID>.syx for every bank after checking each image.
//   bankgen --list      prints every preset in seconds and gains, for checking the sounds.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/bankgen/BankImage.h"
#include "tools/bankgen/Banks.h"
#include "tools/bankgen/Listing.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        bankgen::listBanks(std::cout, bankgen::buildBanks());
        return 0;
    }
    if (argc != 3 || std::string(argv[1]) != "--out") {
        std::fprintf(stderr, "usage: bankgen --out DIR | --list\n");
        return 2;
    }
    const std::string folder = argv[2];
    try {
        // Every image is checked before any file is written, so a failure leaves the old set whole.
        const std::vector<bankgen::Bank> banks = bankgen::buildBanks();
        if (const std::string fault = bankgen::verifyUniqueNames(banks); !fault.empty()) {
            std::fprintf(stderr, "bankgen: %s\n", fault.c_str());
            return 1;
        }
        std::vector<std::vector<unsigned char>> images;
        for (const bankgen::Bank& bank : banks) {
            images.push_back(bankgen::encodeBank(bank));
            if (const std::string fault = bankgen::verifyBank(bank, images.back()); !fault.empty()) {
                std::fprintf(stderr, "bankgen: bank %s: %s\n", bank.id.c_str(), fault.c_str());
                return 1;
            }
        }
        for (size_t i = 0; i < banks.size(); ++i) {
            const std::string path = folder + "/" + banks[i].id + ".syx";
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(images[i].data()),
                      static_cast<std::streamsize>(images[i].size()));
            if (!out) {
                std::fprintf(stderr, "bankgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bankgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
